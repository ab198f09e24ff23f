#pragma once
// Checks a rendered form from its widgets' geometry: every shown control lies inside the
// area of its container, no two controls of one container (and page) overlap, and every
// caption fits its control.
#include <string>
#include <vector>

namespace qtview {
class FormView;
}

namespace qttest {

std::vector<std::string> layoutProblems(const qtview::FormView& view);

}  // namespace qttest
