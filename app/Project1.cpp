// The installer's program routine: the units' start-up steps, the application object, the
// installation window from its form resource, the message loop; at the end the units'
// end steps and the destruction of the window, whose storage removes the extracted files.
// The installer fails closed: when the temporary directory cannot be used, or the setup
// program is not unpacked there whole, the user is told why and nothing is started; the exit
// status tells a calling script how it ended (see Unit1.h).
#include <cstdio>
#include <exception>
#include <memory>

#include "gui/DiagnosticBackend.h"
#include "gui/GuiApplication.h"
#include "gui/GuiClasses.h"
#include "Unit1.h"
#include "storage/acFileStorage.h"
#include "display/acGraphics.h"
#include "sysinfo/acInet.h"
#include "sysinfo/acProcessorRecord.h"
#include "sysinfo/acSystemInfo.h"
#include "util/acUtils.h"
#include "platform/tempdir.h"

int main() {
  InstallDiagnosticBackendFromEnvironment();  // STOWAWAY_TRACE, STOWAWAY_SCREENSHOT
  // Start-up steps of the units.
  RegisterGuiClasses();
  // The framework's start-up makes the application and screen objects first; the extra
  // cursors go into that screen's cursor table.
  auto app = std::make_unique<TGuiApplication>(nullptr);
  InitDisplayExtras();  // after the framework's own identifiers, which it falls back to
  RegisterStorageClasses();
  RegisterSystemInfoClasses();
  InitSystemInfoUnit();  // the processor record, taken once
  InitInetUnit();        // the sockets layer, for the life of the process
  InitializeUnit1();

  int status = kExitFailed;
  try {
    app->Initialize();
    app->SetTitle("Installation");
    // The storage unpacks while the window is read, into the temporary directory: one that
    // cannot be used is told first, and then nothing is unpacked or started.
    std::string reason = TempDirectoryProblem();
    if (!reason.empty() || GetTempDir().empty()) {
      if (reason.empty()) reason = "the system names no temporary directory";
      ShowInstallationError("The installation cannot start: " + reason + ".");
    } else {
      app->CreateForm(Form1);
      if (const std::string problem = Form1->SetupProgramProblem(); !problem.empty()) {
        ShowInstallationError(problem);
      } else {
        app->Run();
        status = InstallerExitStatus(*app, *Form1);
      }
    }
  } catch (const std::exception& e) {
    app->ShowException(e);
    status = kExitFailed;
  }
  FinalizeUnit1();
  app.reset();
  Form1 = nullptr;
  FinalizeInetUnit();
  return status;
}
