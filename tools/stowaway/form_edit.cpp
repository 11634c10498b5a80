#include "form_edit.h"

#include "cli_error.h"
#include "core/BinaryForm.h"
#include "core/Exceptions.h"
#include "core/MemoryStream.h"
#include "core/ViewStream.h"

namespace {

// Takes the form apart through the binary form reader, keeping each component's prefix and each
// value as the bytes they are, so that what `build` does not set is written back unchanged.
class Parser {
 public:
  Parser(std::string_view in, const std::string& file)
      : in_(in), stream_(in.data(), static_cast<int64_t>(in.size())), reader_(stream_), file_(file) {}

  FormNode Run() {
    try {
      reader_.ReadSignature();
      return Component();
    } catch (const EReadError& e) {
      throw InputError(AtOffset(file_, std::string("form ") + e.what(), static_cast<unsigned long long>(at_)));
    }
  }

 private:
  std::string Bytes(int64_t from) {
    return std::string(in_.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(stream_.Position() - from)));
  }

  FormNode Component() {
    TBinaryFormReader::Nesting nesting(reader_);
    FormNode node;
    const int64_t start = at_ = stream_.Position();
    TFormComponentHeader header;
    reader_.ReadComponentHeader(header);
    node.componentClass = header.className;
    node.componentName = header.name;
    // The flags prefix and child position: what the header holds before its two names.
    const std::string whole = Bytes(start);
    node.prefix = whole.substr(0, whole.size() - (2 + header.className.size() + header.name.size()));
    while (!reader_.EndOfList()) {
      at_ = stream_.Position();
      FormNode::Property p;
      p.name = reader_.ReadStr();
      const int64_t value = stream_.Position();
      reader_.SkipValue(reader_.ReadValue());
      p.value = Bytes(value);
      node.properties.push_back(std::move(p));
    }
    reader_.ReadListEnd();
    while (!reader_.EndOfList()) node.children.push_back(Component());
    reader_.ReadListEnd();
    return node;
  }

  std::string_view in_;
  TViewStream stream_;
  TBinaryFormReader reader_;
  const std::string& file_;
  int64_t at_ = 0;
};

void Write(TBinaryFormWriter& out, const FormNode& n, std::size_t* reservedAt) {
  TStream& stream = out.Stream();
  stream.WriteString(n.prefix);
  out.WriteStr(n.componentClass);
  out.WriteStr(n.componentName);
  for (const FormNode::Property& p : n.properties) {
    out.WriteStr(p.name);
    stream.WriteString(p.value);
    if (p.reserve) {
      if (reservedAt) *reservedAt = static_cast<std::size_t>(stream.Position());
      stream.WriteString(std::string(p.reserve, '\0'));
    }
  }
  out.WriteListEnd();
  for (const FormNode& c : n.children) Write(out, c, reservedAt);
  out.WriteListEnd();
}

}  // namespace

void FormNode::Set(const std::string& property, std::string value, std::size_t reserve) {
  for (Property& p : properties)
    if (p.name == property) {
      p.value = std::move(value);
      p.reserve = reserve;
      return;
    }
  properties.push_back({property, std::move(value), reserve});
}

FormNode* FormNode::Find(const std::string& name) {
  if (componentName == name) return this;
  for (FormNode& c : children)
    if (FormNode* f = c.Find(name)) return f;
  return nullptr;
}

FormNode* FormNode::FindClass(const std::string& cls) {
  if (componentClass == cls) return this;
  for (FormNode& c : children)
    if (FormNode* f = c.FindClass(cls)) return f;
  return nullptr;
}

FormNode ParseBinaryForm(std::string_view form, const std::string& file) { return Parser(form, file).Run(); }

std::string WriteBinaryForm(const FormNode& root, std::size_t* reservedAt) {
  TMemoryStream stream;
  TBinaryFormWriter out(stream);
  out.WriteSignature();
  Write(out, root, reservedAt);
  return stream.Bytes();
}

std::string StringValue(const std::string& text) {
  TMemoryStream stream;
  TBinaryFormWriter(stream).WriteString(text);
  return stream.Bytes();
}

std::string BinaryValueHeader(std::uint32_t size) {
  TMemoryStream stream;
  TBinaryFormWriter(stream).WriteValue(TValueType::vaBinary);
  stream.WriteDWord(size);
  return stream.Bytes();
}
