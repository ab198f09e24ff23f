// The program's entry: picks the front end, runs start-up, and runs until no window is loaded.
#include <cstdio>

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::fprintf(stderr, "orvadex: no window can be shown yet\n");
  return 1;
}
