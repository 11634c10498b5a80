// The demo setup program that the installer carries as "vexil_qm_trial.exe": a small window
// announcing the product's setup, which closes on its button or by itself after a few
// seconds. It reads nothing from the directory it was started from.
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdio>

#include "demo_options.h"

namespace {

gboolean Quit(gpointer) {
  gtk_main_quit();
  return G_SOURCE_REMOVE;
}

}  // namespace

int main(int argc, char** argv) {
  demo::LogStart(static_cast<unsigned long>(getpid()));
  const int seconds = demo::Seconds();
  if (!gtk_init_check(&argc, &argv)) {
    // No display: stay for the same time, as the window would.
    std::fprintf(stderr, "Quillmax Deutsch 3.6 - Demo-Setup (no display)\n");
    sleep(static_cast<unsigned>(seconds));
    return 0;
  }
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "Quillmax Deutsch 3.6 \u2013 Demo-Setup");
  gtk_window_set_default_size(GTK_WINDOW(window), 420, 160);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
  gtk_container_set_border_width(GTK_CONTAINER(box), 18);
  GtkWidget* title = gtk_label_new(nullptr);
  gtk_label_set_markup(GTK_LABEL(title), "<b><big>Quillmax Deutsch 3.6 \u2013 Demo-Setup</big></b>");
  GtkWidget* text = gtk_label_new("Die Demoversion wird vorbereitet.\nDieses Fenster schlie\u00dft sich von selbst.");
  GtkWidget* button = gtk_button_new_with_label("Schlie\u00dfen");
  g_signal_connect(button, "clicked", G_CALLBACK(gtk_main_quit), nullptr);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_box_pack_start(GTK_BOX(box), title, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), text, TRUE, TRUE, 0);
  gtk_box_pack_end(GTK_BOX(box), button, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(window), box);
  gtk_widget_show_all(window);
  g_timeout_add_seconds(static_cast<guint>(seconds), Quit, nullptr);
  gtk_main();
  return 0;
}
