// Splitting a shell command line into program part and parameters.
//
// Registries hold open commands in many shapes: a quoted program path with
// options, a bare path (possibly with blanks, from 8.3-less installs) followed
// by options or a placeholder, or rundll32 with a library and an entry point.
// Quotes decide first; without them the command is cut at the first option
// marker that leaves a plausible program name behind.
#include "acTextPrimitives.h"
#include "acTextUtils.h"

using actext::Copy;
using actext::Delete;
using actext::ExtractExt;
using actext::ExtractName;
using actext::ExtractPath;
using actext::Find;
using actext::Trim;
using actext::UpperCase;

namespace {

// The quoted forms: `command` has lost its first quote (at q1) and q2 is the
// position of the closing quote in what remained.
void SplitQuoted(std::string& command, std::string& parameters, int q1, int q2) {
  const int length = static_cast<int>(command.size());
  Delete(command, q2, 1);
  if (q1 == 1) {
    // "program" rest: skip the one character after the closing quote.
    parameters = Trim(Copy(command, q2 + 1, length));
    command = Copy(command, 1, q2 - 1);
    // A placeholder written in quotes ("%1") loses them.
    const int first = Find("\"", parameters);
    if (first != 0) {
      Delete(parameters, first, 1);
      const int second = Find("\"", parameters);
      if (second != 0) Delete(parameters, second, 1);
    }
  } else {
    // word "path" rest: the word is the program, the character before
    // the opening quote is dropped.
    parameters = Copy(command, q1, length);
    command = Copy(command, 1, q1 - 2);
  }
}

// The unquoted form: try the separators in order, keeping a split only when
// it does not turn a command with an extension into a program without one.
void SplitUnquoted(std::string& command, std::string& parameters) {
  parameters.clear();
  const std::string saved = command;
  std::string program;
  std::string rest;

  const auto acceptSplit = [&] {
    if (!ExtractExt(command).empty() && ExtractExt(program).empty()) {
      program = command;
      rest = parameters;
    } else {
      command = program;
      parameters = rest;
    }
  };
  const TSplitOptions toRight{soSeparatorToRight};

  SplitAtSeparator(" -", command, program, rest, false, toRight);
  acceptSplit();
  if (parameters.empty()) SplitAtSeparator(" /", command, program, rest, false, toRight);
  acceptSplit();
  if (rest.empty()) SplitAtSeparator(" \\", command, program, rest, false, toRight);
  acceptSplit();
  if (rest.empty()) SplitAtSeparator(",", command, program, rest, false, TSplitOptions{});
  acceptSplit();
  if (rest.empty()) SplitAtSeparator(" %", command, program, rest, false, toRight);
  acceptSplit();

  // rundll32 with "library.dll,Entry args": the program part runs up to the
  // first blank after the last path delimiter of the whole command.
  if (UpperCase(ExtractExt(command)) == ".DLL" && Find("RUNDLL", UpperCase(command)) != 0) {
    std::string left;
    std::string right;
    SplitAtSeparator(" ", ExtractName(saved), left, right, false, TSplitOptions{});
    command = ExtractPath(saved) + left;
    parameters = right;
  }
}

}  // namespace

void SplitCommandLine(std::string& command, std::string& parameters) {
  command = Trim(command);
  if (command.empty()) return;

  const int q1 = Find("\"", command);
  if (q1 != 0) Delete(command, q1, 1);
  const int q2 = Find("\"", command);

  if (q1 != 0 && q2 != 0)
    SplitQuoted(command, parameters, q1, q2);
  else
    SplitUnquoted(command, parameters);

  command = Trim(command);
  parameters = Trim(parameters);
}
