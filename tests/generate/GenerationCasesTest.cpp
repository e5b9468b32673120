// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end cases: each folder of cases/ holds project.json, an optional manifest and the expected
// dump of the generated movie followed by the reports of the run.
//
// manifest lines: "card N" (single-card mode for card N), "force 0|1", "picture PATH WxH COLOUR"
// (made with ImageMagick in the case's installation folder), "flash PATH WxH RRGGBB", "nofonts"
// (an installation without its Font folder), "text PATH WORDS..." (a file holding the rest of the
// line) and "bytes PATH HEX" (a file of those bytes), for damaged inputs.
#include "generate/Generator.h"
#include "model/AtomicFile.h"
#include "model/ProjectJson.h"
#include "tests/generate/GenerationTestHome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> CaseNames()
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(MARROWLARK_GENERATE_CASES)) {
        if (entry.is_directory() && fs::exists(entry.path() / "project.json")) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadText(const fs::path& path)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// A file of the case's installation folder with the given content.
void MakeFile(const fs::path& home, const std::string& relative, const std::string& content)
{
    const fs::path target = home / relative;
    fs::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << content;
}

// Pairs of hexadecimal digits; blanks between the pairs are allowed.
std::string BytesFromHex(std::string hex)
{
    std::erase(hex, ' ');
    std::string bytes;
    for (size_t at = 0; at + 1 < hex.size(); at += 2) {
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16)));
    }
    return bytes;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

class GenerationCase : public testing::TestWithParam<std::string> { };

TEST_P(GenerationCase, DumpMatchesExpected)
{
    const std::string name = GetParam();
    const fs::path folder = fs::path(MARROWLARK_GENERATE_CASES) / name;
    const std::string manifestText = fs::exists(folder / "manifest") ? ReadText(folder / "manifest") : "";
    gentest::CTestHome home("case-" + name, manifestText.find("nofonts") == std::string::npos);

    std::optional<int> card;
    int force = 1;
    {
        std::istringstream manifest(manifestText);
        std::string line;
        while (std::getline(manifest, line)) {
            std::istringstream words(line);
            std::string key;
            words >> key;
            if (key == "card") {
                int n = 0;
                words >> n;
                card = n;
            } else if (key == "force") {
                words >> force;
            } else if (key == "picture" || key == "flash") {
                std::string path;
                std::string size;
                std::string colour;
                words >> path >> size >> colour;
                const int w = std::stoi(size.substr(0, size.find('x')));
                const int h = std::stoi(size.substr(size.find('x') + 1));
                if (key == "picture") {
                    home.MakePicture(path, w, h, colour);
                } else {
                    home.MakeFlash(path, w, h, static_cast<uint32_t>(std::stoul(colour, nullptr, 16)));
                }
            } else if (key == "text" || key == "bytes") {
                std::string path;
                std::string content;
                words >> path >> std::ws;
                std::getline(words, content);
                MakeFile(home.Path(), path, key == "text" ? content : BytesFromHex(content));
            } else if (!key.empty() && key[0] != '#' && key != "nofonts") {
                FAIL() << "unknown manifest line: " << line;
            }
        }
    }

    CProject project;
    ProjectFromJson(ReadText(folder / "project.json"), project);
    gentest::CRecordingReports reports;
    CGenerator generator(project, home.Path(), reports);
    const fs::path output = home.Path() / "out.swf";
    const CCardInfo* pCard = card ? &project.Card(static_cast<size_t>(*card)) : nullptr;
    EXPECT_EQ(generator.GenerateSWF(output.string(), pCard, force, card.value_or(0)), 1);

    std::string actual = gentest::DumpFile(output) + "--- reports\n" + reports.Text();
    actual = ReplaceAll(actual, home.Path().string(), "<home>");
    const std::string expected = fs::exists(folder / "expected.txt") ? ReadText(folder / "expected.txt") : "";
    if (actual != expected) {
        const fs::path actualPath = fs::path(MARROWLARK_GENERATE_ACTUAL) / (name + ".actual.txt");
        fs::create_directories(actualPath.parent_path());
        std::ofstream(actualPath, std::ios::binary) << actual;
        ADD_FAILURE() << "the dump of case " << name << " differs; see: diff -u " << (folder / "expected.txt")
                      << " " << actualPath;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, GenerationCase, testing::ValuesIn(CaseNames()),
    [](const testing::TestParamInfo<std::string>& param) {
        std::string id = param.param;
        for (char& c : id) {
            if (std::isalnum(static_cast<unsigned char>(c)) == 0) {
                c = '_';
            }
        }
        return id;
    });

} // namespace
