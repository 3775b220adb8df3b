// Small helpers for stdio files that stay safe when a run ends by exception.
#pragma once
#include <cstdio>
#include <string>

// Closes its file when the scope ends, however it ends.
struct FileCloser {
    FILE* fp;
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    ~FileCloser() {
        if (fp) fclose(fp);
    }
};

// Reads one line of any length into s, without its line end ("\n" or "\r\n").
// Returns false at the end of the file when nothing was read.
bool read_line(FILE* fp, std::string& s);
