#pragma once
// The operating system's half of OutputFile (OutputNode_Posix.cpp, OutputNode_Windows.cpp): what a target
// name leads to, exclusive creation of the temporary, and the replacing move. Paths are UTF-8; every
// function that fails sets errno (or a Windows error code translated to one) and, where it says so, a
// description.
#include <string>

namespace tavro::tools {

enum class OutputNodeKind {
    Missing,
    RegularFile,
    Stream,   // a character device or a pipe: written directly, never replaced
    NotAFile, // a folder or another kind of node the tool refuses
    LookupFailed,
};

struct OutputNode {
    OutputNodeKind kind = OutputNodeKind::Missing;
    const char* description = ""; // why a NotAFile node is refused, such as "is a folder"
    unsigned mode = 0;            // a regular file's permission bits, which a replacement keeps
};

// What path names, following links (a link to a device counts as the device).
OutputNode LookUpOutputNode(const std::string& path);
bool IsExistingFolder(const std::string& path);

// Opens an existing stream for writing; -1 if it cannot be opened or is no longer a stream.
int OpenOutputStream(const std::string& path);
// Creates path exclusively (never through an existing name, a link included); -1 with errno EEXIST if
// the name is taken.
int CreateExclusively(const std::string& path);
// Gives a new file the permission bits of the file it replaces.
void KeepMode(int descriptor, unsigned mode);
// Flushes a file to the disk; a stream has nothing to flush.
bool FlushToDisk(int descriptor, bool stream);
// Puts temporary in place of target, replacing a regular file there in one step. On failure returns
// false and sets error to the system's reason.
bool MoveIntoPlace(const std::string& temporary, const std::string& target, std::string& error);
void RemoveFile(const std::string& path);
// A number that differs between processes running at once, for the temporary's name.
unsigned long ProcessNumber();

} // namespace tavro::tools
