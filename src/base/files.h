// Small helpers for stdio files that stay safe when a run ends by exception.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

// Closes its file when the scope ends, however it ends.
struct FileCloser {
    FILE* fp;
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    ~FileCloser() {
        if (fp) fclose(fp);
    }
};

// A file as the file system knows it, whatever name or link reaches it: its identity
// when it exists, else the place where it would be created.
struct FileId {
    bool exists = false;
    unsigned long long dev = 0, ino = 0;
    std::string path;  // absolute, links, "." and ".." resolved as far as the path exists
    std::string name;  // the name it was given by
};
// What name reaches from the current directory.
FileId file_id(const std::string& name);
// True when a and b are the same file, or the same place for a file not there yet.
bool same_file(const FileId& a, const FileId& b);
bool same_file(const std::string& a, const std::string& b);
// The one of ids that name reaches, or nullptr.
const FileId* same_file_as(const std::vector<FileId>& ids, const std::string& name);

// Opens an input file for reading as an ordinary seekable stream, or returns nullptr
// (errno tells why). gzip data, recognised by its first two bytes whatever the name, is
// unpacked once per run into an anonymous temporary file and read from there; a
// compressed file that cannot be unpacked ends the run with a message.
FILE* open_input(const std::string& name);

// Reads one line of any length into s, without its line end ("\n" or "\r\n").
// Returns false at the end of the file when nothing was read.
bool read_line(FILE* fp, std::string& s);
