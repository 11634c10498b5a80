#include "acPublishedProperties.h"

#include <cstdint>

#include "core/Component.h"
#include "core/Extended.h"
#include "core/IdentConversion.h"
#include "core/TypeNames.h"

namespace {

std::string OrdinalText(TObject& object, const TPropInfo& p) {
  const int64_t v = p.GetOrd(object);
  switch (p.Kind) {
    case TPropKind::Integer: {
      std::string ident;
      TIntToIdent conv = p.IntegerType.empty() ? TIntToIdent() : FindIntToIdent(p.IntegerType);
      if (conv && conv(static_cast<int32_t>(v), ident)) return ident;
      return std::to_string(static_cast<int32_t>(v));
    }
    case TPropKind::Cardinal:
      return std::to_string(static_cast<uint32_t>(v));
    case TPropKind::Boolean:
      return v ? "True" : "False";
    case TPropKind::Enumeration: {
      std::string ident = p.Names ? p.Names->NameOf(v) : std::string();
      return ident.empty() ? std::to_string(v) : ident;
    }
    case TPropKind::Set: {
      std::string out = "[";
      for (int i = 0; i < 32; ++i) {
        if (!(v & (int64_t{1} << i))) continue;
        if (out.size() > 1) out += ", ";
        std::string ident = p.Names ? p.Names->NameOf(i) : std::string();
        out += ident.empty() ? std::to_string(i) : ident;
      }
      return out + "]";
    }
    default:
      return std::to_string(v);
  }
}

void WriteProperties(TObject& object, const std::string& prefix, std::ostream& out, int depth) {
  // Sub-objects rarely nest more than a level or two; the bound keeps a cycle finite.
  if (depth > 16) return;
  for (const TPropInfo* p : object.ClassInfo()->Properties()) {
    const std::string name = prefix + p->Name;
    switch (p->Kind) {
      case TPropKind::String:
        out << name << " = " << FormTextQuoted(p->GetStr(object)) << '\n';
        break;
      case TPropKind::Float:
        out << name << " = " << ExtendedToText(DoubleToExtended(p->GetFloat(object))) << '\n';
        break;
      case TPropKind::Object: {
        TObject* sub = p->GetObject(object);
        if (sub)
          WriteProperties(*sub, name + ".", out, depth + 1);
        else
          out << name << " = nil\n";
        break;
      }
      case TPropKind::Component: {
        auto* c = dynamic_cast<TComponent*>(p->GetObject(object));
        out << name << " = " << (c && !c->Name().empty() ? c->Name() : std::string("nil")) << '\n';
        break;
      }
      case TPropKind::Method: {
        std::string handler = p->MethodAssigned(object) ? p->GetMethodName(object) : std::string();
        out << name << " = " << (handler.empty() ? std::string("nil") : handler) << '\n';
        break;
      }
      default:
        out << name << " = " << OrdinalText(object, *p) << '\n';
        break;
    }
  }
}

}  // namespace

void WritePublishedProperties(TObject& object, std::ostream& out) { WriteProperties(object, "", out, 0); }
