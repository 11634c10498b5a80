#include "GtkBrowserPane.h"

#include <webkit2/webkit2.h>

#include <memory>
#include <string>

#include "Backend.h"
#include "Forms.h"
#include "GuiApplication.h"
#include "WebBrowser.h"

namespace {

constexpr const char* kPaneKey = "stowaway-pane";

// A pane that cannot be drawn (its window iconified, say) renders no frames; after this long
// its finished document is reported all the same, so the window does not wait for ever.
constexpr guint kFrameWaitLimitMs = 10000;

// Resolves once the page has rendered two frames: the first rendering after the load may
// still run when the first callback comes, the second one starts only after it was done.
// Runs in a script world of its own, out of the page's reach.
constexpr const char* kTwoFrames =
    "return new Promise(done => requestAnimationFrame(() => requestAnimationFrame(() => done(true))));";
constexpr const char* kScriptWorld = "stowaway-pane";

struct Pane {
  TWebBrowser* browser = nullptr;  // null once the control is gone
  std::string requested;           // the address the program asked for last
  unsigned load = 0;               // counts the loads started; a wait for an older one is dropped
  bool committed = false;
  bool failed = false;
  // The wait for a finished document to be drawn.
  bool waiting = false;
  std::string address;
  bool drawn = false;
  GdkFrameClock* clock = nullptr;
  gulong afterPaint = 0;
  gulong draw = 0;
  guint limit = 0;
};

Pane* PaneOf(gpointer view) { return static_cast<Pane*>(g_object_get_data(G_OBJECT(view), kPaneKey)); }

// Holds the view for a callback that may come after the control is gone.
struct Ticket {
  GtkWidget* view;
  unsigned load;
  Ticket(GtkWidget* v, unsigned l) : view(GTK_WIDGET(g_object_ref(v))), load(l) {}
  ~Ticket() { g_object_unref(view); }
  Ticket(const Ticket&) = delete;
  Ticket& operator=(const Ticket&) = delete;
};

void FreeTicket(gpointer data) { delete static_cast<Ticket*>(data); }

// The pane whose wait the ticket belongs to, or null when that wait is over.
Pane* WaitingPane(const Ticket& ticket) {
  Pane* pane = PaneOf(ticket.view);
  return pane && pane->browser && pane->waiting && pane->load == ticket.load ? pane : nullptr;
}

void StopWaiting(GtkWidget* view, Pane& pane) {
  if (pane.afterPaint) g_signal_handler_disconnect(pane.clock, pane.afterPaint);
  if (pane.clock) g_object_unref(pane.clock);
  if (pane.draw && view) g_signal_handler_disconnect(view, pane.draw);
  if (pane.limit) g_source_remove(pane.limit);
  pane.afterPaint = pane.draw = 0;
  pane.limit = 0;
  pane.clock = nullptr;
  pane.waiting = false;
}

void FreePane(gpointer data) {
  auto* pane = static_cast<Pane*>(data);
  StopWaiting(nullptr, *pane);  // the view is being finalised: its own handlers are gone
  delete pane;
}

// The document has been drawn (or the wait reached its limit): the backend in use reports the
// completed document, with the drawing on the X server, so that what the window shows then
// is the page.
void Deliver(GtkWidget* view, Pane& pane) {
  const std::string address = pane.address;
  StopWaiting(view, pane);
  gdk_display_sync(gtk_widget_get_display(view));
  g_object_ref(view);  // the handler may close the window and with it the view
  GuiBackend().DocumentShown(*pane.browser, address);
  g_object_unref(view);
}

gboolean OnDraw(GtkWidget* view, cairo_t*, gpointer) {
  if (Pane* pane = PaneOf(view)) pane->drawn = true;
  return FALSE;
}

void OnAfterPaint(GdkFrameClock*, gpointer view) {
  Pane* pane = PaneOf(view);
  if (pane && pane->waiting && pane->drawn) Deliver(GTK_WIDGET(view), *pane);
}

// Waits for the next frame in which GTK draws the view.
void AwaitPaint(GtkWidget* view, Pane& pane) {
  GdkFrameClock* clock = gtk_widget_get_frame_clock(view);
  if (!clock) return;  // not on screen: the limit decides
  pane.clock = GDK_FRAME_CLOCK(g_object_ref(clock));
  pane.drawn = false;
  pane.draw = g_signal_connect_after(view, "draw", G_CALLBACK(OnDraw), nullptr);
  pane.afterPaint = g_signal_connect(clock, "after-paint", G_CALLBACK(OnAfterPaint), view);
  gtk_widget_queue_draw(view);
}

void OnFramesRendered(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Ticket> ticket(static_cast<Ticket*>(data));
  GError* error = nullptr;
  if (JSCValue* value = webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, &error))
    g_object_unref(value);
  if (error) {
    // Without scripts the next frame GTK draws is the best sign there is.
    GuiBackend().ToolkitNote(std::string("frame-wait ") + error->message);
    g_error_free(error);
  }
  if (Pane* pane = WaitingPane(*ticket)) AwaitPaint(ticket->view, *pane);
}

gboolean OnWaitLimit(gpointer data) {
  const Ticket& ticket = *static_cast<Ticket*>(data);
  if (Pane* pane = WaitingPane(ticket)) {
    pane->limit = 0;  // this source ends with this call
    GuiBackend().ToolkitNote("frame-wait-limit");
    Deliver(ticket.view, *pane);
  }
  return G_SOURCE_REMOVE;
}

void AwaitFrames(GtkWidget* view, Pane& pane, const std::string& address) {
  StopWaiting(view, pane);
  pane.waiting = true;
  pane.address = address;
  pane.limit =
      g_timeout_add_full(G_PRIORITY_DEFAULT, kFrameWaitLimitMs, OnWaitLimit, new Ticket(view, pane.load), FreeTicket);
  webkit_web_view_call_async_javascript_function(WEBKIT_WEB_VIEW(view), kTwoFrames, -1, nullptr, kScriptWorld, nullptr,
                                                 nullptr, OnFramesRendered, new Ticket(view, pane.load));
}

void OnLoadChanged(WebKitWebView* webView, WebKitLoadEvent event, gpointer) {
  GtkWidget* view = GTK_WIDGET(webView);
  Pane* pane = PaneOf(view);
  if (!pane || !pane->browser) return;
  switch (event) {
    case WEBKIT_LOAD_STARTED:
      ++pane->load;
      pane->committed = pane->failed = false;
      StopWaiting(view, *pane);
      break;
    case WEBKIT_LOAD_COMMITTED:
      // A failure reported before the commit belonged to the load this one replaced.
      pane->committed = true;
      pane->failed = false;
      break;
    case WEBKIT_LOAD_FINISHED: {
      const char* uri = webkit_web_view_get_uri(webView);
      const std::string address = uri ? uri : "";
      // A load that failed before its commit finishes too; the error page that follows is the
      // document. One that was cancelled or failed after its commit is no finished document.
      const bool complete = pane->committed && !pane->failed;
      pane->committed = false;
      if (!complete) {
        GuiBackend().ToolkitNote("load-unfinished " + address);
        break;
      }
      AwaitFrames(view, *pane, address);
      break;
    }
    default:
      break;
  }
}

gboolean OnLoadFailed(WebKitWebView* webView, WebKitLoadEvent, gchar* uri, GError* error, gpointer) {
  GuiBackend().ToolkitNote(std::string("load-failed ") + (uri ? uri : "") + ": " + (error ? error->message : ""));
  if (Pane* pane = PaneOf(webView)) pane->failed = true;
  return FALSE;  // the pane shows its own error page where there is one
}

// The address without its fragment.
std::string WithoutFragment(const char* uri) {
  const std::string text = uri ? uri : "";
  return text.substr(0, text.find('#'));
}

void OpenOutside(Pane& pane, const char* uri) {
  const std::string address = uri ? uri : "";
  GuiBackend().ToolkitNote("open-link " + address);
  pane.browser->DoOpenLink(address);
}

gboolean OnDecidePolicy(WebKitWebView* webView, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                        gpointer) {
  Pane* pane = PaneOf(webView);
  if (!pane || !pane->browser || type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
    // target=_blank: the pane opens no windows of its own.
    webkit_policy_decision_ignore(decision);
    OpenOutside(*pane, uri);
    return TRUE;
  }
  const WebKitNavigationType kind = webkit_navigation_action_get_navigation_type(action);
  const bool followed = kind == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED ||
                        (kind == WEBKIT_NAVIGATION_TYPE_OTHER && webkit_navigation_action_is_user_gesture(action));
  const bool ownRequest = uri && pane->requested == uri;
  const bool sameDocument = WithoutFragment(uri) == WithoutFragment(webkit_web_view_get_uri(webView));
  if (!followed || ownRequest || sameDocument) return FALSE;
  // A link the user follows: the pane keeps its document.
  webkit_policy_decision_ignore(decision);
  OpenOutside(*pane, uri);
  return TRUE;
}

// window.open: the page asks for a view to open the address in; it gets none.
GtkWidget* OnCreate(WebKitWebView* webView, WebKitNavigationAction* action, gpointer) {
  Pane* pane = PaneOf(webView);
  if (pane && pane->browser)
    OpenOutside(*pane, webkit_uri_request_get_uri(webkit_navigation_action_get_request(action)));
  return nullptr;
}

}  // namespace

GtkWidget* CreateBrowserPane(TWebBrowser& browser) {
  WebKitWebView* webView = WEBKIT_WEB_VIEW(webkit_web_view_new());
  webkit_settings_set_hardware_acceleration_policy(webkit_web_view_get_settings(webView),
                                                   WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  auto* pane = new Pane;
  pane->browser = &browser;
  g_object_set_data_full(G_OBJECT(webView), kPaneKey, pane, FreePane);
  g_signal_connect(webView, "load-changed", G_CALLBACK(OnLoadChanged), nullptr);
  g_signal_connect(webView, "load-failed", G_CALLBACK(OnLoadFailed), nullptr);
  g_signal_connect(webView, "decide-policy", G_CALLBACK(OnDecidePolicy), nullptr);
  g_signal_connect(webView, "create", G_CALLBACK(OnCreate), nullptr);
  return GTK_WIDGET(webView);
}

void LoadInBrowserPane(GtkWidget* view, const std::string& uri) {
  if (Pane* pane = PaneOf(view)) pane->requested = uri;
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri.c_str());
}

void ForgetBrowserPane(GtkWidget* view) {
  Pane* pane = PaneOf(view);
  if (!pane) return;
  StopWaiting(view, *pane);
  pane->browser = nullptr;
}
