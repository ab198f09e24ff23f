// Starting the program into the main window against the simulated camera, and closing it.
#include "tests/ui/main_window_fixture.h"

namespace uitest {
namespace {

class MainWindowStart : public MainWindowTest {};

TEST_F(MainWindowStart, TheProgramStartsIntoTheMainWindowAndCloses) {
  ASSERT_TRUE(startProgram());
  EXPECT_TRUE(win().Visible());
  EXPECT_EQ(win().Caption(), "Orvadex Ver.1.31");
  EXPECT_TRUE(gblnOnLine);
  EXPECT_EQ(win().lblOnLine.Caption(), "On Line(COM1)");
  EXPECT_EQ(win().lblFirmWareVersion.Caption(), "FirmWare Ver.2");
  EXPECT_EQ(host.prompts(), std::vector<std::string>{});
  EXPECT_TRUE(closeWindow());
  EXPECT_FALSE(win().Loaded());
  EXPECT_EQ(host.prompts(), std::vector<std::string>{"End?"});
}

}  // namespace
}  // namespace uitest
