#pragma once
// The browser pane of the GTK backend: a WebKitWebView that reports to its TWebBrowser.
//
// Document-complete is reported once a finished load's document has been drawn on screen:
// after the load finishes, the pane waits for the page to render two frames of its own and
// then for the next frame in which GTK draws the view, so the user sees the page before the
// window acts on it. A load that was cancelled or failed is no finished document; the pane's
// error page for a failed load is. Links the user follows, links to a new window and windows
// the page opens leave the pane on its document and go to the browser's OnOpenLink instead.
#include <gtk/gtk.h>

#include <string>

class TWebBrowser;

// Makes the web view of a browser pane and connects it to browser.
GtkWidget* CreateBrowserPane(TWebBrowser& browser);
// Starts loading uri in the pane at the program's request.
void LoadInBrowserPane(GtkWidget* view, const std::string& uri);
// The browser is going away: its view reports nothing more.
void ForgetBrowserPane(GtkWidget* view);
