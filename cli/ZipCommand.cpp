// SPDX-License-Identifier: GPL-3.0-or-later
// marrowlark-cli zip: the locked archive of a folder, as the Finish dialog makes it.
#include "cli/CliCommand.h"

#include "publish/LockedArchive.h"

#include <fstream>
#include <optional>
#include <ostream>

namespace {

// Largest password file read: a password is a line, not a document.
constexpr std::streamsize kMaxPasswordFileSize = 64 * 1024;

// The first line of the file, without its line end.
std::string ReadPasswordFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in) {
        throw CUsageError("cannot read the password file " + strPath);
    }
    std::string strText(static_cast<size_t>(kMaxPasswordFileSize) + 1, '\0');
    in.read(strText.data(), kMaxPasswordFileSize + 1);
    if (in.bad()) {
        throw CUsageError("cannot read the password file " + strPath);
    }
    strText.resize(static_cast<size_t>(in.gcount()));
    if (strText.size() > static_cast<size_t>(kMaxPasswordFileSize)) {
        throw CUsageError("the password file " + strPath + " is larger than " +
            std::to_string(kMaxPasswordFileSize) + " bytes");
    }
    strText = strText.substr(0, strText.find('\n'));
    if (strText.ends_with('\r')) {
        strText.pop_back();
    }
    return strText;
}

} // namespace

void RunZip(CCliContext& context, std::span<const std::string> args)
{
    std::vector<std::string> files;
    std::optional<std::string> password;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--password" || arg == "--password-file") {
            if (i + 1 >= args.size()) {
                throw CUsageError(arg + " needs a value");
            }
            if (password) {
                throw CUsageError("give one password, with --password or --password-file");
            }
            const std::string& value = args[++i];
            password = arg == "--password" ? value : ReadPasswordFile(value);
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw CUsageError("unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    ExpectArgumentCount(files, 2);
    if (!password) {
        throw CUsageError("a password is needed (--password PW or --password-file FILE)");
    }
    if (password->empty()) {
        throw CUsageError("the password is empty; the archive would not be locked");
    }
    const CPublishResult result = BuildLockedArchive(files[0], *password, files[1]);
    for (const CLeftOut& item : result.m_leftOut) {
        context.err << "warning: " << item.m_path.string() << ": " << item.m_strReason << '\n';
    }
    if (!result.IsWritten()) {
        throw CRefusedError(result.m_strError.empty() ? "the archive was not written" : result.m_strError);
    }
    if (!result.m_leftOut.empty()) {
        const size_t n = result.m_leftOut.size();
        throw CRefusedError(
            std::to_string(n) + (n == 1 ? " item was" : " items were") + " left out of " + files[1]);
    }
}
