// SPDX-License-Identifier: GPL-3.0-or-later
// The outside tools the archive tests check our archives with: Info-ZIP's unzip and Python's
// zipfile, run as programs. Shared by the publishing and command-line tests.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace archivetools {

struct CRun {
    int status = -1; // the exit status, -1 when the command did not exit normally
    std::string output; // standard output and error together
};

inline std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

inline std::string Quote(const std::filesystem::path& path)
{
    return Quote(path.string());
}

// Runs a shell command line in a UTF-8 locale (names come out of unzip as they are stored).
inline CRun Run(const std::string& command)
{
    CRun run;
    const std::string line = "LC_ALL=C.UTF-8 PYTHONIOENCODING=utf-8 " + command + " 2>&1";
    FILE* pipe = ::popen(line.c_str(), "r");
    if (!pipe) {
        return run;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, n);
    }
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

// Python's zipfile on the archive: one line per entry, "name<TAB>size<TAB>flags<TAB>sha256 of the
// content read with the password", in the archive's order; a line "error<TAB>name<TAB>reason"
// for an entry it could not read (a wrong password among them).
inline const char* const kZipfileLister = R"PY(
import hashlib, sys, zipfile
password = sys.argv[2].encode("utf-8", "surrogateescape") if len(sys.argv) > 2 else None
with zipfile.ZipFile(sys.argv[1]) as archive:
    for info in archive.infolist():
        try:
            data = archive.read(info, pwd=password)
            print("%s\t%d\t%d\t%s" % (info.filename, len(data), info.flag_bits, hashlib.sha256(data).hexdigest()))
        except Exception as e:
            print("error\t%s\t%s" % (info.filename, e))
)PY";

inline CRun ListWithZipfile(const std::filesystem::path& scriptFolder, const std::filesystem::path& archive,
    const std::string* password)
{
    const std::filesystem::path script = scriptFolder / "list_zip.py";
    std::ofstream(script) << kZipfileLister;
    return Run("python3 " + Quote(script) + " " + Quote(archive) + (password ? " " + Quote(*password) : ""));
}

inline std::vector<std::vector<std::string>> Lines(const std::string& text)
{
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        size_t start = 0;
        for (;;) {
            const size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos) {
                break;
            }
            start = tab + 1;
        }
        lines.push_back(fields);
    }
    return lines;
}

inline std::string Sha256(const std::filesystem::path& file)
{
    const CRun run = Run("sha256sum " + Quote(file));
    return run.output.substr(0, 64);
}

} // namespace archivetools
