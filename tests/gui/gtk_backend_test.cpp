// The GTK backend on a private X server: a control freed while its form's window is shown
// leaves the window, and the window goes on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <gtk/gtk.h>
#include <memory>

#include "gui/Backend.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "xvfb_display.h"

// GTK and its libraries keep allocations until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libgtk-3\nleak:libgdk-3\nleak:libglib-2.0\nleak:libgobject-2.0\n"
         "leak:libpango\nleak:libcairo\nleak:libharfbuzz\nleak:libdbus-1\n";
}

namespace {

int CountWidgets(GtkWidget* widget) {
  int n = 1;
  if (GTK_IS_CONTAINER(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* c = children; c; c = c->next) n += CountWidgets(GTK_WIDGET(c->data));
    g_list_free(children);
  }
  return n;
}

TEST(GtkBackend, AControlFreedWhileItsWindowIsShownLeavesTheWindow) {
  XvfbDisplay server;
  if (server.Name().empty()) GTEST_SKIP() << server.Error();
  setenv("DISPLAY", server.Name().c_str(), 1);
  GuiBackend().Initialize();
  {
    TForm form(nullptr);
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetCaption("going");
    form.Show();
    GuiBackend().ProcessMessages();
    auto* window = reinterpret_cast<GtkWidget*>(GuiBackend().FormHandle(form));
    ASSERT_NE(window, nullptr);
    const int before = CountWidgets(window);

    delete label;
    GuiBackend().ProcessMessages();
    EXPECT_LT(CountWidgets(window), before);
    EXPECT_TRUE(gtk_widget_get_visible(window));
  }
  SetGuiBackend(nullptr);
}

}  // namespace
