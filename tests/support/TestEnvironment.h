#pragma once
// Every test process runs in a private home: XDG_CONFIG_HOME and XDG_RUNTIME_DIR point into
// a temporary folder made at start, so no test reads or writes the user's real files and
// the virtual camera's announcements of one test process never reach another.
#include <QString>

// Sets up the private folders; called by the test mains before any test runs.
void SetUpTestEnvironment();

// The private folder of this test process (removed when it ends).
QString TestRootDir();
