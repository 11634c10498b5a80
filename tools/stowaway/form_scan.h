// Finds the binary properties of components in a binary form without creating the components,
// so the tool can read the stored data of any form, whatever classes the form names.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct FormBinaryProperty {
  std::string componentClass;
  std::string componentName;
  std::string property;
  std::size_t offset;  // of the first byte of the property's data in the form
  std::size_t size;    // of the property's data
};

struct FormComponent {
  std::string componentClass;
  std::string componentName;
};

struct FormScan {
  std::vector<FormComponent> components;     // in stream order, the root first
  std::vector<FormBinaryProperty> binaries;  // every binary property, in stream order
};

// Walks the binary form (size bytes starting with "TPF0") in place. Throws InputError naming
// `file`, the fault and the offset.
FormScan ScanForm(const std::uint8_t* form, std::size_t size, const std::string& file);
