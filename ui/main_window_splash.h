#pragma once
// The splash screen as the main window's loading shows and closes it.
namespace MainWindowSplash {
void Show();    // shown modeless and painted at once
void Unload();  // closed when loading is done
}  // namespace MainWindowSplash
