#pragma once
// C++ twins of the classes of the Free Pascal peer (peer/formpeer.pas), used by the form
// streaming tests: same class names, published properties, defaults and defined properties.
#include <string>

#include "core/Component.h"
#include "core/Events.h"
#include "core/MemoryStream.h"
#include "core/PropertyRegistry.h"
#include "core/SetOf.h"

enum TPeerKind { pkNone, pkAlpha, pkBeta, pkGamma };
enum TPeerStyle { psBold, psItalic, psUnderline, psStrikeOut };
using TPeerStyles = TSet<TPeerStyle>;
extern const TTypeNames TPeerKindNames;
extern const TTypeNames TPeerStyleNames;

class TPeerInner : public TPersistent {
  STOWAWAY_CLASS(TPeerInner, TPersistent)
  TPeerKind Mode = pkNone;
  std::string Path;
};

class TPeerOptions : public TPersistent {
  STOWAWAY_CLASS(TPeerOptions, TPersistent)
  bool Enabled = false;
  int32_t Level = 3;
  TPeerInner Inner;
  TPeerInner* GetInner() { return &Inner; }
};

class TPeerItem : public TComponent {
  STOWAWAY_CLASS(TPeerItem, TComponent)
  explicit TPeerItem(TComponent* owner) : TComponent(owner) {}
  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

  int32_t Count = 0;
  int64_t Big = 0;
  bool Flag = false;
  TPeerKind Kind = pkNone;
  TPeerStyles Styles;
  std::string Caption;
  uint32_t Size = 0;
  int32_t Cursor = 0;
  double Ratio = 0;
  TPeerOptions Options;
  TComponent* Link = nullptr;
  TNotifyEvent OnChange;
  TMemoryStream Blob;
  // Filled by Loaded: what the component saw when it was called.
  std::string SeenAtLoaded;

  TPeerOptions* GetOptions() { return &Options; }
  TComponent* GetLink() const { return Link; }
  void SetLink(TComponent* c) { Link = c; }
};

class TPeerRoot : public TComponent {
  STOWAWAY_CLASS(TPeerRoot, TComponent)
  explicit TPeerRoot(TComponent* owner) : TComponent(owner) {}
  void ItemChange(TObject*) { ++changes; }
  void RootLoad(TObject*) {}
  void Other(TObject*, int) {}  // published with the wrong arguments for a notify event

  std::string Title;
  TNotifyEvent OnLoad;
  int changes = 0;
  TPeerItem* ItemA = nullptr;  // published field
};

// Registers the peer classes and the cursor identifiers (idempotent).
void RegisterPeerClasses();
// The sample form, as the peer's Sample builds it.
std::unique_ptr<TPeerRoot> PeerSample();
// One line per component, as the peer's "read" command prints.
std::string PeerDump(TPeerRoot& root);
std::string Hex(const std::string& bytes);
