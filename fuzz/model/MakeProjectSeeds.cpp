// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed project files of the project file fuzzer into the folder given as argument.
#include "model/ProjectFile.h"

#include <fstream>
#include <iostream>

namespace {

void Write(const std::filesystem::path& folder, const char* name, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_project_seeds FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    CProject one;
    one.m_settings.m_strEmail.clear();
    one.InsertCard(EInsertPos::Bottom);
    Write(folder, "one_card.mlp", SaveProjectBytes(one));

    CProject starter;
    starter.BuildStarter();
    Write(folder, "starter.mlp", SaveProjectBytes(starter));

    CProject odd;
    odd.BuildStarter();
    odd.Card(0).m_strTitle = "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xAE \xE6\x96\xB0\xE5\xB9\xB4"; // Greek and Chinese
    odd.Card(0).m_strComment = std::string(300, 'c');
    odd.Card(1).m_pLinks.reset();
    odd.Card(2).m_pLinks->m_pList.reset();
    for (int i = 0; i < 12; ++i) {
        odd.Card(0).LinkList()->push_back(std::make_unique<CLinkInfo>("x", i, -i, ">=", i, 2));
    }
    Write(folder, "odd.mlp", SaveProjectBytes(odd));
    return 0;
}
