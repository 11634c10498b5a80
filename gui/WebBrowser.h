#pragma once
// TWebBrowser: an embedded browser pane. Navigate takes a wide-character address: a Windows
// path ("C:\...\page.html", shown through the host path mapping as a file: URI) or a URI.
// Loading runs in the pane; OnDocumentComplete fires on the GUI thread, from the message
// loop, once a document (the page, or the pane's error page when loading failed) has been
// loaded and drawn on screen; a load that was cancelled or failed is none. The pane keeps
// its document: a link the user follows, a link to a new window (target=_blank) and a window
// the page opens (window.open) go to OnOpenLink instead, which opens them elsewhere (without
// a handler they open nowhere). "ControlData", the pane's persisted state in the form, is read
// and kept as it is.
#include <cstdint>
#include <string>

#include "Controls.h"
#include "charset/Unicode.h"  // Utf16ToUtf8, Utf8ToUtf16: the address conversions

// Sender, the pane whose document completed (here always the pane itself), and its address.
using TWebBrowserDocumentComplete = TEvent<TObject* /*Sender*/, TObject* /*pDisp*/, const std::u16string& /*URL*/>;
// Sender and the address of a document the user asked for from the pane.
using TWebBrowserOpenLink = TEvent<TObject* /*Sender*/, const std::u16string& /*URL*/>;

class TWebBrowser : public TControl {
  STOWAWAY_CLASS(TWebBrowser, TControl)

  explicit TWebBrowser(TComponent* owner) : TControl(owner) {}

  // Starts loading. Raises an Exception for an address that cannot be turned into a URI
  // (a path that the host cannot map).
  void Navigate(const std::u16string& url);
  // The address of the last navigation, as given.
  const std::u16string& LocationURL() const { return location_; }

  int32_t TabOrder() const { return tabOrder_; }
  void SetTabOrder(int32_t v) { tabOrder_ = v; }
  const std::string& ControlData() const { return controlData_; }
  void SetControlData(const std::string& v) { controlData_ = v; }

  TWebBrowserDocumentComplete OnDocumentComplete;
  // The backend reports a completed document (uri in UTF-8).
  void DoDocumentComplete(const std::string& uri);
  // Assigned by the program, not streamed.
  TWebBrowserOpenLink OnOpenLink;
  // The backend reports an address the user asked for from the pane (uri in UTF-8).
  void DoOpenLink(const std::string& uri);

  void DefineProperties(TFiler& filer) override;

 private:
  std::u16string location_;
  int32_t tabOrder_ = -1;
  std::string controlData_;
};

// The URI for a browser address: Windows paths (drive letter or "\\") become file: URIs of
// the mapped host path; anything with a scheme is kept (as UTF-8). Raises an Exception when
// a path cannot be mapped.
std::string BrowserAddressToUri(const std::u16string& address);
