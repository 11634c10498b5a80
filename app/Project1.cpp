// The installer's program routine: the units' start-up steps, the application object, the
// installation window from its form resource, the message loop; at the end the units'
// end steps and the destruction of the window, whose storage removes the extracted files.
#include <cstdio>
#include <exception>
#include <memory>

#include "GuiApplication.h"
#include "GuiClasses.h"
#include "Unit1.h"
#include "acFileStorage.h"
#include "acGraphics.h"
#include "acInet.h"
#include "acProcessorRecord.h"
#include "acSystemInfo.h"

int main() {
  // Start-up steps of the units.
  RegisterGuiClasses();
  // The framework's start-up makes the application and screen objects first; the extra
  // cursors go into that screen's cursor table.
  auto app = std::make_unique<TGuiApplication>(nullptr);
  InitDisplayExtras();   // after the framework's own identifiers, which it falls back to
  RegisterStorageClasses();
  RegisterSystemInfoClasses();
  InitSystemInfoUnit();  // the processor record, taken once
  InitInetUnit();        // the sockets layer, for the life of the process
  InitializeUnit1();

  int status = 0;
  try {
    app->Initialize();
    app->SetTitle("Installation");
    app->CreateForm(Form1);
    app->Run();
  } catch (const std::exception& e) {
    app->ShowException(e);
    status = 1;
  }
  FinalizeUnit1();
  app.reset();
  Form1 = nullptr;
  FinalizeInetUnit();
  return status;
}
