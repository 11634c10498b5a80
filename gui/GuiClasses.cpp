#include "GuiClasses.h"

#include "core/ClassInfo.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "WebBrowser.h"

void RegisterGuiClasses() {
  RegisterGraphicsIdents();
  RegisterClasses({&TForm::StaticClassInfo(), &TLabel::StaticClassInfo(), &TImage::StaticClassInfo(),
                   &TWebBrowser::StaticClassInfo()});
}
