// Libraries opened on first use: a missing library or function is a clear error naming it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/posix/dynlib.h"

using ::testing::HasSubstr;

TEST(DynamicLibrary, FindsFunctionsAndNamesWhatIsMissing) {
  TDynamicLibrary libc("libc.so.6");
  EXPECT_EQ(libc.Function<decltype(&std::strlen)>("strlen")("four"), 4u);

  struct Case {
    const char* library;
    const char* function;
    const char* named;
  };
  for (const Case& c : {Case{"libstowaway-none.so.1", nullptr, "cannot load libstowaway-none.so.1"},
                        Case{"libc.so.6", "stowaway_none", "cannot find stowaway_none in libc.so.6"}}) {
    try {
      TDynamicLibrary lib(c.library);
      lib.Function<void (*)()>(c.function);
      ADD_FAILURE() << c.library << " " << c.function;
    } catch (const std::runtime_error& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.named));
    }
  }
}
