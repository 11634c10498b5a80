// The GTK 3 backend: one GtkWindow per form with a GtkLayout client area of the form's client
// size, controls at absolute positions (labels and images in event boxes for their colour,
// cursor and clicks, the browser pane a WebKitWebView, see GtkBrowserPane.h), the GTK main
// loop, message dialogs and SIGINT / SIGTERM / SIGHUP through GLib's signal sources.
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>
#include <string>

#include "Backend.h"
#include "charset/Cp1252.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "GtkBrowserPane.h"
#include "GuiApplication.h"
#include "Screen.h"
#include "StdCtrls.h"
#include "WebBrowser.h"

namespace {

std::string Css(uint32_t rgb) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06X", rgb & 0xFFFFFF);
  return buf;
}

// Replaces the widget's own style sheet.
void SetWidgetCss(GtkWidget* widget, const std::string& css) {
  GtkStyleContext* context = gtk_widget_get_style_context(widget);
  auto* old = static_cast<GtkCssProvider*>(g_object_get_data(G_OBJECT(widget), "stowaway-css"));
  if (old) gtk_style_context_remove_provider(context, GTK_STYLE_PROVIDER(old));
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
  gtk_style_context_add_provider(context, GTK_STYLE_PROVIDER(provider), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_set_data_full(G_OBJECT(widget), "stowaway-css", provider, g_object_unref);
}

// The font as CSS; pixels, when above 0, replaces the font's own size (in steps of 0.1 px).
std::string FontCss(const TFont& font, double pixels = 0) {
  std::string family;
  for (char c : Cp1252ToUtf8(font.Name()))
    if (c != '"' && c != '\\' && c != ';' && c != '}') family += c;
  char size[32];
  std::snprintf(size, sizeof size, "%.1fpx", pixels > 0 ? pixels : double(font.PixelHeight()));
  std::string css = "font-family: \"" + family + "\", sans-serif; font-size: " + size +
                    "; color: " + Css(ColorToRGB(font.Color())) + ";";
  css += font.Style().Contains(fsBold) ? " font-weight: bold;" : " font-weight: normal;";
  css += font.Style().Contains(fsItalic) ? " font-style: italic;" : " font-style: normal;";
  if (font.Style().Contains(fsUnderline) || font.Style().Contains(fsStrikeOut))
    css += std::string(" text-decoration-line: ") +
           (font.Style().Contains(fsUnderline) ? "underline" : "line-through") + ";";
  return css;
}

GdkCursor* MakeCursor(GdkDisplay* display, TCursor cursor) {
  TCursorHandle shape = Screen ? Screen->Cursors(cursor) : TCursorHandle();
  if (!shape) return nullptr;
  if (!shape->CssName.empty()) return gdk_cursor_new_from_name(display, shape->CssName.c_str());
  if (shape->Width <= 0 || shape->Height <= 0 || shape->Argb.size() < size_t(shape->Width) * shape->Height)
    return nullptr;
  GdkPixbuf* pb = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, shape->Width, shape->Height);
  guchar* px = gdk_pixbuf_get_pixels(pb);
  const int stride = gdk_pixbuf_get_rowstride(pb);
  for (int y = 0; y < shape->Height; ++y)
    for (int x = 0; x < shape->Width; ++x) {
      const uint32_t c = shape->Argb[size_t(y) * shape->Width + x];
      guchar* p = px + y * stride + x * 4;
      p[0] = guchar(c >> 16);
      p[1] = guchar(c >> 8);
      p[2] = guchar(c);
      p[3] = guchar(c >> 24);
    }
  GdkCursor* result = gdk_cursor_new_from_pixbuf(display, pb, shape->HotX, shape->HotY);
  g_object_unref(pb);
  return result;
}

class GtkBackend;

struct ControlWidgets {
  TControl* control = nullptr;
  GtkWidget* outer = nullptr;  // the child of the GtkFixed
  GtkWidget* inner = nullptr;  // label, image or web view
  std::string pendingUri;      // browser: loaded once the pane exists
};

struct FormWindow {
  TForm* form = nullptr;
  GtkWidget* window = nullptr;
  GtkWidget* client = nullptr;  // the GtkLayout of the client area
  std::map<TControl*, ControlWidgets*> controls;
};

class GtkBackend : public TGuiBackend {
 public:
  ~GtkBackend() override {
    for (guint id : signalSources_) g_source_remove(id);
  }

  void Initialize() override {
    if (initialized_) return;
    if (!gtk_init_check(nullptr, nullptr)) throw Exception("Cannot open the display (is DISPLAY set?)");
    initialized_ = true;
  }

  void SetApplicationTitle(const std::string& title) override {
    // GLib takes the application name once.
    if (title.empty() || g_get_application_name() != g_get_prgname()) return;
    g_set_application_name(Cp1252ToUtf8(title).c_str());
  }

  void WatchTerminationSignals(std::function<void(int)> handler) override {
    terminationHandler_ = std::move(handler);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
      signalWatches_.push_back(std::make_unique<SignalWatch>(SignalWatch{this, sig}));
      signalSources_.push_back(g_unix_signal_add(sig, &GtkBackend::OnSignal, signalWatches_.back().get()));
    }
  }

  void ShowForm(TForm& form) override {
    FormWindow* fw = WindowOf(form);
    if (!fw) fw = CreateWindow(form);
    gtk_widget_show_all(fw->window);
    gtk_window_present(GTK_WINDOW(fw->window));
  }

  void HideForm(TForm& form) override {
    if (FormWindow* fw = WindowOf(form)) gtk_widget_hide(fw->window);
  }

  void FormChanged(TForm& form) override {
    if (FormWindow* fw = WindowOf(form)) ApplyForm(*fw);
  }

  void ControlChanged(TControl& control) override {
    if (!control.Parent()) return;
    FormWindow* fw = WindowOf(*control.Parent());
    if (!fw) return;
    auto it = fw->controls.find(&control);
    if (it == fw->controls.end())
      AddControl(*fw, control);
    else
      ApplyControl(*fw, *it->second);
  }

  void FormDestroyed(TForm& form) override {
    auto it = forms_.find(&form);
    if (it == forms_.end()) return;
    FormWindow* fw = it->second;
    forms_.erase(it);
    for (auto& [control, cw] : fw->controls) ForgetControl(cw);
    fw->controls.clear();
    gtk_widget_destroy(fw->window);
    delete fw;
  }

  void ControlDestroyed(TControl& control) override {
    if (!control.Parent()) return;
    FormWindow* fw = WindowOf(*control.Parent());
    if (!fw) return;
    auto it = fw->controls.find(&control);
    if (it == fw->controls.end()) return;
    ControlWidgets* cw = it->second;
    GtkWidget* outer = cw->outer;
    fw->controls.erase(it);
    ForgetControl(cw);  // frees cw
    gtk_widget_destroy(outer);
  }

  void Navigate(TWebBrowser& browser, const std::string& uri) override {
    ControlWidgets* cw = browser.Parent() ? FindControl(browser) : nullptr;
    if (!cw) {
      pendingUris_[&browser] = uri;  // loaded when the pane is created
      return;
    }
    LoadInBrowserPane(cw->inner, uri);
  }

  void RunLoop() override {
    if (quitRequested_) return;
    gtk_main();
  }

  void QuitLoop() override {
    quitRequested_ = true;
    if (gtk_main_level() > 0) gtk_main_quit();
    if (openDialog_) gtk_dialog_response(GTK_DIALOG(openDialog_), GTK_RESPONSE_CANCEL);
  }

  void ProcessMessages() override {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  }

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    GtkMessageType type = GTK_MESSAGE_OTHER;
    switch (flags & 0xF0) {
      case MB_ICONERROR:
        type = GTK_MESSAGE_ERROR;
        break;
      case MB_ICONQUESTION:
        type = GTK_MESSAGE_QUESTION;
        break;
      case MB_ICONWARNING:
        type = GTK_MESSAGE_WARNING;
        break;
      case MB_ICONINFORMATION:
        type = GTK_MESSAGE_INFO;
        break;
    }
    GtkButtonsType buttons = GTK_BUTTONS_OK;
    switch (flags & 0x0F) {
      case MB_OKCANCEL:
        buttons = GTK_BUTTONS_OK_CANCEL;
        break;
      case MB_YESNO:
        buttons = GTK_BUTTONS_YES_NO;
        break;
    }
    GtkWindow* parent = nullptr;
    if (GuiApplication() && GuiApplication()->MainForm())
      if (FormWindow* fw = WindowOf(*GuiApplication()->MainForm())) parent = GTK_WINDOW(fw->window);
    GtkWidget* dialog =
        gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, type, buttons, "%s", Cp1252ToUtf8(text).c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), Cp1252ToUtf8(caption).c_str());
    // A termination signal while the box is open answers it (QuitLoop); one that came
    // before leaves nobody to answer, so the box is not shown at all.
    int response = GTK_RESPONSE_CANCEL;
    if (!quitRequested_) {
      GtkWidget* outer = openDialog_;
      openDialog_ = dialog;
      response = gtk_dialog_run(GTK_DIALOG(dialog));
      openDialog_ = outer;
    }
    gtk_widget_destroy(dialog);
    switch (response) {
      case GTK_RESPONSE_OK:
        return IDOK;
      case GTK_RESPONSE_YES:
        return IDYES;
      case GTK_RESPONSE_NO:
        return IDNO;
      default:
        return (flags & 0x0F) == MB_YESNO ? IDNO : IDCANCEL;
    }
  }

  uintptr_t ApplicationHandle() override {
    if (GuiApplication() && GuiApplication()->MainForm())
      if (FormWindow* fw = WindowOf(*GuiApplication()->MainForm())) return reinterpret_cast<uintptr_t>(fw->window);
    return reinterpret_cast<uintptr_t>(this);
  }

  uintptr_t FormHandle(TForm& form) override {
    FormWindow* fw = WindowOf(form);
    return fw ? reinterpret_cast<uintptr_t>(fw->window) : 0;
  }

  std::string WindowTitle(TForm& form) override {
    FormWindow* fw = WindowOf(form);
    const char* title = fw ? gtk_window_get_title(GTK_WINDOW(fw->window)) : nullptr;
    return title ? title : "";
  }

  void ClientSize(TForm& form, int& width, int& height) override {
    FormWindow* fw = WindowOf(form);
    width = fw ? gtk_widget_get_allocated_width(fw->client) : 0;
    height = fw ? gtk_widget_get_allocated_height(fw->client) : 0;
  }

  bool SaveScreenshot(TForm& form, const std::string& pngPath) override {
    FormWindow* fw = WindowOf(form);
    if (!fw) return false;
    GdkWindow* gw = gtk_widget_get_window(fw->client);
    if (!gw) return false;
    const int w = gtk_widget_get_allocated_width(fw->client), h = gtk_widget_get_allocated_height(fw->client);
    int x = 0, y = 0;
    gtk_widget_translate_coordinates(fw->client, fw->window, 0, 0, &x, &y);
    GdkPixbuf* pb = gdk_pixbuf_get_from_window(gtk_widget_get_window(fw->window), x, y, w, h);
    if (!pb) return false;
    const bool ok = gdk_pixbuf_save(pb, pngPath.c_str(), "png", nullptr, nullptr);
    g_object_unref(pb);
    return ok;
  }

 private:
  struct SignalWatch {
    GtkBackend* backend;
    int signal;
  };

  static gboolean OnSignal(gpointer data) {
    auto* watch = static_cast<SignalWatch*>(data);
    GtkBackend* b = watch->backend;
    if (b->terminationHandler_) GuiGuarded([&] { b->terminationHandler_(watch->signal); });
    return G_SOURCE_CONTINUE;
  }

  FormWindow* WindowOf(TForm& form) {
    auto it = forms_.find(&form);
    return it == forms_.end() ? nullptr : it->second;
  }

  ControlWidgets* FindControl(TControl& control) {
    FormWindow* fw = WindowOf(*control.Parent());
    if (!fw) return nullptr;
    auto it = fw->controls.find(&control);
    return it == fw->controls.end() ? nullptr : it->second;
  }

  FormWindow* CreateWindow(TForm& form) {
    auto* fw = new FormWindow;
    fw->form = &form;
    fw->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    fw->client = gtk_layout_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(fw->window), fw->client);
    g_signal_connect(fw->window, "delete-event", G_CALLBACK(&GtkBackend::OnDelete), fw);
    g_signal_connect(fw->window, "map-event", G_CALLBACK(&GtkBackend::OnMap), fw);
    forms_[&form] = fw;
    form.SetHasWindow(true);
    ApplyForm(*fw);
    gtk_window_move(GTK_WINDOW(fw->window), form.Left(), form.Top());
    for (TControl* c : form.Controls()) AddControl(*fw, *c);
    return fw;
  }

  void ApplyForm(FormWindow& fw) {
    TForm& form = *fw.form;
    gtk_window_set_title(GTK_WINDOW(fw.window), Cp1252ToUtf8(form.Caption()).c_str());
    // A layout keeps its size whatever its children need: the client area stays as designed
    // and controls reaching beyond it are clipped.
    gtk_widget_set_size_request(fw.client, form.ClientWidth(), form.ClientHeight());
    gtk_layout_set_size(GTK_LAYOUT(fw.client), form.ClientWidth(), form.ClientHeight());
    const bool sizeable = form.BorderStyle() == bsSizeable || form.BorderStyle() == bsSizeToolWin;
    gtk_window_set_resizable(GTK_WINDOW(fw.window), sizeable);
    gtk_window_set_decorated(GTK_WINDOW(fw.window), form.BorderStyle() != bsNone);
    if (sizeable) gtk_window_set_default_size(GTK_WINDOW(fw.window), form.ClientWidth(), form.ClientHeight());
    const std::string background =
        "background-color: " + Css(ColorToRGB(form.Color(), 0xF0F0F0)) + "; background-image: none;";
    SetWidgetCss(fw.window, "window { " + background + " }");
    SetWidgetCss(fw.client, "layout { " + background + " }");
    for (auto& [control, cw] : fw.controls) ApplyControl(fw, *cw);
  }

  void AddControl(FormWindow& fw, TControl& control) {
    auto* cw = new ControlWidgets;
    cw->control = &control;
    if (auto* browser = dynamic_cast<TWebBrowser*>(&control)) {
      cw->inner = cw->outer = CreateBrowserPane(*browser);
      if (browser->TabOrder() >= 0) gtk_widget_set_can_focus(cw->outer, TRUE);
      auto pending = pendingUris_.find(browser);
      if (pending != pendingUris_.end()) {
        cw->pendingUri = pending->second;
        pendingUris_.erase(pending);
      }
    } else {
      cw->outer = gtk_event_box_new();
      if (dynamic_cast<TImage*>(&control)) {
        cw->inner = gtk_image_new();
      } else {
        cw->inner = gtk_label_new("");
        gtk_label_set_xalign(GTK_LABEL(cw->inner), 0.0f);
        gtk_label_set_yalign(GTK_LABEL(cw->inner), 0.0f);
        gtk_label_set_use_markup(GTK_LABEL(cw->inner), FALSE);
        gtk_label_set_use_underline(GTK_LABEL(cw->inner), FALSE);
      }
      gtk_container_add(GTK_CONTAINER(cw->outer), cw->inner);
      gtk_widget_add_events(cw->outer, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
      g_signal_connect(cw->outer, "button-release-event", G_CALLBACK(&GtkBackend::OnRelease), cw);
      g_signal_connect(cw->outer, "realize", G_CALLBACK(&GtkBackend::OnRealize), cw);
    }
    gtk_layout_put(GTK_LAYOUT(fw.client), cw->outer, control.Left(), control.Top());
    fw.controls[&control] = cw;
    ApplyControl(fw, *cw);
    if (fw.form && gtk_widget_get_visible(fw.window)) gtk_widget_show_all(cw->outer);
    if (!cw->pendingUri.empty()) {
      LoadInBrowserPane(cw->inner, cw->pendingUri);
      cw->pendingUri.clear();
    }
  }

  void ApplyControl(FormWindow& fw, ControlWidgets& cw) {
    TControl& c = *cw.control;
    gtk_layout_move(GTK_LAYOUT(fw.client), cw.outer, c.Left(), c.Top());
    gtk_widget_set_visible(cw.outer, c.Visible() && gtk_widget_get_visible(fw.window));
    bool autoSize = false;
    if (auto* label = dynamic_cast<TLabel*>(&c)) {
      gtk_label_set_text(GTK_LABEL(cw.inner), Cp1252ToUtf8(label->Caption()).c_str());
      SetWidgetCss(cw.inner, "label { " + FontCss(label->DrawFont()) + " padding: 0; margin: 0; }");
      gtk_event_box_set_visible_window(GTK_EVENT_BOX(cw.outer), !label->Transparent());
      SetWidgetCss(cw.outer, "* { background-color: " + Css(ColorToRGB(label->DrawColor(), 0xF0F0F0)) + "; }");
      autoSize = label->AutoSize();
    } else if (auto* image = dynamic_cast<TImage*>(&c)) {
      gtk_event_box_set_visible_window(GTK_EVENT_BOX(cw.outer), TRUE);
      SetWidgetCss(cw.outer, "* { background-color: " + Css(ColorToRGB(c.DrawColor(), 0xF0F0F0)) + "; }");
      if (image->Picture()->HasGraphic()) {
        const TBitmap& bmp = image->Picture()->Bitmap();
        GBytes* bytes = g_bytes_new(bmp.Rgb().data(), bmp.Rgb().size());
        GdkPixbuf* pb =
            gdk_pixbuf_new_from_bytes(bytes, GDK_COLORSPACE_RGB, FALSE, 8, bmp.Width(), bmp.Height(), bmp.Width() * 3);
        g_bytes_unref(bytes);
        gtk_image_set_from_pixbuf(GTK_IMAGE(cw.inner), pb);
        g_object_unref(pb);
        gtk_widget_set_halign(cw.inner, GTK_ALIGN_START);
        gtk_widget_set_valign(cw.inner, GTK_ALIGN_START);
      } else {
        gtk_image_clear(GTK_IMAGE(cw.inner));
      }
    }
    if (autoSize) {
      gtk_widget_set_size_request(cw.outer, -1, -1);
      auto& label = static_cast<TLabel&>(c);
      GtkRequisition natural = TextSize(cw, label.DrawFont(), label.DrawFont().PixelHeight());
      FitLabelToClient(fw, cw, label, natural);
      if (natural.width != c.Width() || natural.height != c.Height()) {
        // The control follows its text; SetBounds comes back here with the same size.
        c.SetBounds(c.Left(), c.Top(), natural.width, natural.height);
        return;
      }
    } else {
      gtk_widget_set_size_request(cw.outer, c.Width(), c.Height());
    }
    ApplyCursor(cw);
  }

  // The size of a label's text in the given font at the given pixel size. Measured on a
  // layout of its own with the font set directly: GTK reports no size for widgets that are
  // not shown yet (labels are sized before their window appears), and CSS changes reach the
  // widget's own layout only at its next style update.
  static GtkRequisition TextSize(ControlWidgets& cw, const TFont& font, double pixels) {
    PangoLayout* layout = gtk_widget_create_pango_layout(cw.inner, gtk_label_get_text(GTK_LABEL(cw.inner)));
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, (Cp1252ToUtf8(font.Name()) + ",sans-serif").c_str());
    pango_font_description_set_absolute_size(desc, pixels * PANGO_SCALE);
    pango_font_description_set_weight(desc, font.Style().Contains(fsBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(desc, font.Style().Contains(fsItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout, desc);
    GtkRequisition size{0, 0};
    pango_layout_get_pixel_size(layout, &size.width, &size.height);
    pango_font_description_free(desc);
    g_object_unref(layout);
    return size;
  }

  // Forms are laid out with the designer's font metrics; ours can be a few per cent wider
  // (Liberation Sans at 19 px sets a caption measured at 378 px in 392). When an autosized
  // label would therefore run past the client area's right edge, its font is made smaller in
  // half-pixel steps, by at most a tenth, until the text fits; if it still does not fit, the
  // label keeps its font and is clipped.
  static void FitLabelToClient(FormWindow& fw, ControlWidgets& cw, TLabel& label, GtkRequisition& natural) {
    const int room = fw.form->ClientWidth() - label.Left();
    if (room <= 0 || natural.width <= room) return;
    const TFont& font = label.DrawFont();
    const double full = font.PixelHeight();
    for (double px = full - 0.5; px >= full * 0.9; px -= 0.5) {
      const GtkRequisition smaller = TextSize(cw, font, px);
      if (smaller.width <= room) {
        SetWidgetCss(cw.inner, "label { " + FontCss(font, px) + " padding: 0; margin: 0; }");
        natural = smaller;
        return;
      }
    }
  }

  static void ApplyCursor(ControlWidgets& cw) {
    if (GTK_IS_EVENT_BOX(cw.outer) && !gtk_event_box_get_visible_window(GTK_EVENT_BOX(cw.outer))) return;
    GdkWindow* gw = gtk_widget_get_window(cw.outer);
    if (!gw || !gtk_widget_get_has_window(cw.outer)) return;
    GdkCursor* cursor = MakeCursor(gdk_window_get_display(gw), cw.control->Cursor());
    gdk_window_set_cursor(gw, cursor);
    if (cursor) g_object_unref(cursor);
  }

  void ForgetControl(ControlWidgets* cw) {
    if (dynamic_cast<TWebBrowser*>(cw->control)) ForgetBrowserPane(cw->inner);
    g_signal_handlers_disconnect_by_data(cw->outer, cw);
    if (cw->inner && cw->inner != cw->outer) g_signal_handlers_disconnect_by_data(cw->inner, cw);
    pendingUris_.erase(dynamic_cast<TWebBrowser*>(cw->control));
    delete cw;
  }

  static void OnRealize(GtkWidget*, gpointer data) { ApplyCursor(*static_cast<ControlWidgets*>(data)); }

  static gboolean OnRelease(GtkWidget* widget, GdkEventButton* event, gpointer data) {
    auto* cw = static_cast<ControlWidgets*>(data);
    const int w = gtk_widget_get_allocated_width(widget), h = gtk_widget_get_allocated_height(widget);
    if (event->button == 1 && event->x >= 0 && event->y >= 0 && event->x < w && event->y < h)
      GuiGuarded([cw] { cw->control->Click(); });
    return TRUE;
  }

  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<FormWindow*>(data)->form->DoCloseRequest();
    return TRUE;  // the form hides or keeps its window itself
  }

  static gboolean OnMap(GtkWidget*, GdkEvent*, gpointer data) {
    GuiBackend().WindowShown(*static_cast<FormWindow*>(data)->form);
    return FALSE;
  }

  bool initialized_ = false;
  bool quitRequested_ = false;
  std::map<TForm*, FormWindow*> forms_;
  std::map<TWebBrowser*, std::string> pendingUris_;
  std::function<void(int)> terminationHandler_;
  std::vector<std::unique_ptr<SignalWatch>> signalWatches_;
  std::vector<guint> signalSources_;
  GtkWidget* openDialog_ = nullptr;  // the message box being shown, if any
};

}  // namespace

std::unique_ptr<TGuiBackend> CreateGtkBackend() { return std::make_unique<GtkBackend>(); }
