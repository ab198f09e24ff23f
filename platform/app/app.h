#pragma once
// The application object: the program's title and version, where its executable lies, its
// help file, and whether another instance of it is already running.
#include <string>

namespace vb {

class App {
 public:
  // "Orvadex", fixed when the program is built.
  static std::string Title();
  // The version numbers the program was built with (the project version, 1.3.1 giving
  // Major 1, Minor 3, Revision 1).
  static int Major();
  static int Minor();
  static int Revision();

  // The folder of the executable without a trailing "/" ("/" itself for the root), from the
  // resolved path of the running executable.
  static std::string Path();
  // The executable's file name without its extension ("orvadex").
  static std::string EXEName();

  // The help file (empty when the program has none).
  static std::string HelpFile();
  static void HelpFile(std::string path);

  // True when another process of the program is running from the same folder (Path), which
  // holds the settings file, the logs and the port of one instance: whichever user, session
  // or environment started it. The first call takes a lock held for the rest of the
  // process's life (an flock on the program folder, so no lock file is made or left behind),
  // so the answer does not change during a run, and a crashed instance never blocks a new
  // one: the kernel releases the lock when the process dies. When the folder cannot be
  // opened, the answer is False (the program starts rather than refusing).
  static bool PrevInstance();

  // Tests only: make Path and EXEName (and with them the previous-instance lock) those of a
  // program lying at `folder`/`exeName`, as when a copy of the executable is run from a
  // temporary folder. An empty folder returns to the real executable. Releases any lock held.
  // Tests that run start-up (which asks PrevInstance) must give each test its own folder:
  // CTest runs the cases of one test program as parallel processes of the same executable,
  // which would otherwise see each other as previous instances.
  static void SetLocationForTesting(std::string folder, std::string exeName);
};

}  // namespace vb
