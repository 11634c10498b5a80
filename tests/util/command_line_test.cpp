// SplitCommandLine over the shapes of open commands found in registries:
// quoted and unquoted program paths, options, placeholders and rundll32.
// Every expected pair was derived by walking the split rules by hand.
#include "util/acTextUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CommandLineCase {
  const char* command;
  const char* program;
  const char* parameters;
};

const CommandLineCase kCases[] = {
    // Unquoted: cut at the first separator that keeps an extension.
    {R"(C:\WINDOWS\NOTEPAD.EXE %1)", R"(C:\WINDOWS\NOTEPAD.EXE)", "%1"},
    {R"(C:\PROGRA~1\APP\APP.EXE -nohome)", R"(C:\PROGRA~1\APP\APP.EXE)", "-nohome"},
    {R"(C:\Program Files\App\app.exe /x)", R"(C:\Program Files\App\app.exe)", "/x"},
    // The cut at " -" would leave "C:\Program Files\App" without extension:
    // rejected, and only the first " -" is ever tried.
    {R"(C:\Program Files\App -2\app.exe -x)", R"(C:\Program Files\App -2\app.exe -x)", ""},
    // ... but a later separator may still split it.
    {R"(C:\Program Files\App -2\app.exe /x)", R"(C:\Program Files\App -2\app.exe)", "/x"},
    {"notepad -x", "notepad", "-x"},
    {"  notepad.exe  ", "notepad.exe", ""},
    {R"(C:\Apps\viewer.exe \files\a.txt)", R"(C:\Apps\viewer.exe)", R"(\files\a.txt)"},
    {"rundll32.exe lib.dll,Entry", "rundll32.exe", "lib.dll,Entry"},
    {R"(C:\WINDOWS\rundll32.exe C:\Lib\lib.dll,Entry %1)", R"(C:\WINDOWS\rundll32.exe C:\Lib\lib.dll,Entry)", "%1"},

    // Quoted program path.
    {R"("C:\Program Files\App\app.exe" -x -y)", R"(C:\Program Files\App\app.exe)", "-x -y"},
    {R"("C:\Program Files\App\app.exe" "%1")", R"(C:\Program Files\App\app.exe)", "%1"},
    // The character after the closing quote is always skipped.
    {R"("C:\Program Files\App\app.exe"/x)", R"(C:\Program Files\App\app.exe)", "x"},
    // A word before the quoted path is the program.
    {R"(start "C:\Program Files\App\app.exe" -x)", "start", R"(C:\Program Files\App\app.exe -x)"},
    // A single quote is dropped and the rest split as unquoted.
    {R"(C:\App\app.exe "%1)", R"(C:\App\app.exe)", "%1"},

    // Open commands of browsers and viewers as registries hold them.
    {R"("C:\Program Files\Mozilla Firefox\firefox.exe" -osint -url "%1")",
     R"(C:\Program Files\Mozilla Firefox\firefox.exe)", "-osint -url %1"},
    {R"("C:\Program Files (x86)\Google\Chrome\Application\chrome.exe" --single-argument %1)",
     R"(C:\Program Files (x86)\Google\Chrome\Application\chrome.exe)", "--single-argument %1"},
    {R"("C:\Program Files\Internet Explorer\iexplore.exe" %1)", R"(C:\Program Files\Internet Explorer\iexplore.exe)",
     "%1"},
    {R"(C:\Program Files\Internet Explorer\iexplore.exe -nohome)", R"(C:\Program Files\Internet Explorer\iexplore.exe)",
     "-nohome"},
    {R"("C:\Program Files\Opera\opera.exe" "%1")", R"(C:\Program Files\Opera\opera.exe)", "%1"},
    {R"("C:\Windows\system32\NOTEPAD.EXE" %1)", R"(C:\Windows\system32\NOTEPAD.EXE)", "%1"},
    {R"(%SystemRoot%\system32\NOTEPAD.EXE %1)", R"(%SystemRoot%\system32\NOTEPAD.EXE)", "%1"},
    {R"(C:\Program Files\Windows NT\Accessories\WORDPAD.EXE "%1")",
     R"(C:\Program Files\Windows NT\Accessories\WORDPAD.EXE)", "%1"},
    {R"(rundll32.exe "C:\Program Files\Windows Photo Viewer\PhotoViewer.dll", ImageView_Fullscreen %1)", "rundll32.exe",
     R"(C:\Program Files\Windows Photo Viewer\PhotoViewer.dll, ImageView_Fullscreen %1)"},
    {R"(%SystemRoot%\System32\rundll32.exe "%ProgramFiles%\Windows Photo Viewer\PhotoViewer.dll", ImageView_Fullscreen %1)",
     R"(%SystemRoot%\System32\rundll32.exe)",
     R"(%ProgramFiles%\Windows Photo Viewer\PhotoViewer.dll, ImageView_Fullscreen %1)"},
    {R"(rundll32.exe C:\WINDOWS\system32\shimgvw.dll,ImageView_Fullscreen %1)",
     R"(rundll32.exe C:\WINDOWS\system32\shimgvw.dll,ImageView_Fullscreen)", "%1"},
    {R"("C:\Program Files\Windows Media Player\wmplayer.exe" /prefetch:6 /Open "%L")",
     R"(C:\Program Files\Windows Media Player\wmplayer.exe)", "/prefetch:6 /Open %L"},
    {R"("C:\Program Files\Microsoft Office\Office12\WINWORD.EXE" /n /dde)",
     R"(C:\Program Files\Microsoft Office\Office12\WINWORD.EXE)", "/n /dde"},
    {R"(C:\WINDOWS\EXPLORER.EXE /idlist,%I,%L)", R"(C:\WINDOWS\EXPLORER.EXE)", "/idlist,%I,%L"},
    {R"(C:\Program Files\IrfanView\i_view32.exe %1)", R"(C:\Program Files\IrfanView\i_view32.exe)", "%1"},
    // The ":" after the last dot means the whole command has no extension, so
    // the cut at " /" is kept.
    {R"(C:\Program Files\Windows Mail\WinMail.exe /mailurl:%1)", R"(C:\Program Files\Windows Mail\WinMail.exe)",
     "/mailurl:%1"},
    // Text before a quoted placeholder counts as the word before a quote: the
    // options stay with the program part.
    {R"(C:\PROGRA~1\MOZILL~1\FIREFOX.EXE -url "%1")", R"(C:\PROGRA~1\MOZILL~1\FIREFOX.EXE -url)", "%1"},
};

TEST(SplitCommandLine, Table) {
  for (const CommandLineCase& c : kCases) {
    std::string command = c.command;
    std::string parameters = "stale";
    SplitCommandLine(command, parameters);
    EXPECT_EQ(command, c.program) << "command line: " << c.command;
    EXPECT_EQ(parameters, c.parameters) << "command line: " << c.command;
  }
}

TEST(SplitCommandLine, BlankCommandLeavesParametersAlone) {
  for (const char* blank : {"", "   ", "\t \r\n"}) {
    std::string command = blank;
    std::string parameters = "kept";
    SplitCommandLine(command, parameters);
    EXPECT_EQ(command, "");
    EXPECT_EQ(parameters, "kept");
  }
}

TEST(SplitCommandLine, DegenerateQuotesNeverFail) {
  // Positions that fall outside the text give empty parts, never an error.
  struct Case {
    const char* command;
    const char* program;
    const char* parameters;
  };
  const Case cases[] = {
      {R"("")", "", ""}, {R"(""x)", "", ""},  {R"(a "")", "a", ""},
      {R"(")", "", ""},  {R"("a")", "a", ""}, {R"(x"")", "", ""},
  };
  for (const Case& c : cases) {
    std::string command = c.command;
    std::string parameters = "stale";
    SplitCommandLine(command, parameters);
    EXPECT_EQ(command, c.program) << c.command;
    EXPECT_EQ(parameters, c.parameters) << c.command;
  }
}

}  // namespace
