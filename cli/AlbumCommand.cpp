// SPDX-License-Identifier: GPL-3.0-or-later
// marrowlark-cli album: the photo album movie of a folder of pictures.
#include "cli/CliCommand.h"

#include "imaging/Scratch.h"
#include "model/InstallPaths.h"
#include "publish/PhotoAlbum.h"

#include <ostream>

void RunAlbum(CCliContext& context, std::span<const std::string> args)
{
    for (const std::string& arg : args) {
        if (arg.size() > 1 && arg[0] == '-') {
            throw CUsageError("unknown option " + arg);
        }
    }
    ExpectArgumentCount(args, 2);
    // The pictures are prepared in a private folder inside the installation's Temp, which the
    // album makes when it is missing.
    const std::filesystem::path temp = InstallPath(InstallFolder(), "\\Temp");
    // Whatever the picture library itself may need goes there too.
    imaging::setScratchFolder(temp);
    const CPublishResult result = BuildPhotoAlbum(args[0], args[1], temp);
    for (const CLeftOut& item : result.m_leftOut) {
        context.err << "warning: " << item.m_path.string() << ": " << item.m_strReason << '\n';
    }
    if (!result.IsWritten()) {
        throw CRefusedError("the album was not written: " + result.m_strError);
    }
    if (!result.m_leftOut.empty()) {
        const size_t count = result.m_leftOut.size();
        throw CRefusedError(std::to_string(count) + (count == 1 ? " item was" : " items were") +
            " left out of the album; the other " + std::to_string(result.m_nAdded) + " went in");
    }
}
