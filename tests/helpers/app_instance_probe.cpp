// A tiny program for the previous-instance tests: prints "<PrevInstance 0/1> <Path> <EXEName>"
// on one line. With the argument "hold" it then stays running (holding its instance lock)
// until its standard input reaches end of file, so it never outlives the test that started it.
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "platform/app/app.h"

int main(int argc, char** argv) {
  bool hold = argc > 1 && std::strcmp(argv[1], "hold") == 0;
  bool prev = vb::App::PrevInstance();
  std::printf("%d %s %s\n", prev ? 1 : 0, vb::App::Path().c_str(), vb::App::EXEName().c_str());
  std::fflush(stdout);
  if (hold) {
    char buf[64];
    while (read(STDIN_FILENO, buf, sizeof buf) > 0) {
    }
  }
  return 0;
}
