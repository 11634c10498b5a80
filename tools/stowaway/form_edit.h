// A binary form taken apart into its components and their properties, so that `build` can
// set a property of one component and write the form again. Values are kept as their raw
// bytes (type byte included); only what is set anew is encoded here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct FormNode {
  std::string prefix;  // the flags byte and child position, when the component has them
  std::string componentClass;
  std::string componentName;
  struct Property {
    std::string name;
    std::string value;        // raw bytes, type byte first
    std::size_t reserve = 0;  // zero bytes written after `value`, for the caller to fill in
  };
  std::vector<Property> properties;
  std::vector<FormNode> children;

  // Replaces the property's value, or appends the property when the component lacks it.
  void Set(const std::string& property, std::string value, std::size_t reserve = 0);
  // The component of that name, this one or below it; null when there is none.
  FormNode* Find(const std::string& name);
  // The first component of that class in stream order; null when there is none.
  FormNode* FindClass(const std::string& cls);
};

// Takes a binary form ("TPF0" first) apart. Throws InputError naming `file` and the offset.
FormNode ParseBinaryForm(std::string_view form, const std::string& file);
// The binary form again, "TPF0" first. `reservedAt`, when given, receives the offset of the
// reserved bytes (of the last property that has some).
std::string WriteBinaryForm(const FormNode& root, std::size_t* reservedAt = nullptr);

// Encoded values.
std::string StringValue(const std::string& text);   // an 8-bit string
std::string BinaryValueHeader(std::uint32_t size);  // the type byte and length of a binary value
