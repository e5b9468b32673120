// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ProjectJson.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>

TEST(ProjectJson, RoundTripIsLossless)
{
    CProject p;
    p.BuildStarter();
    p.Card(0).m_strTitle = "Καλή \"quoted\" 新年";
    p.Card(1).m_pLinks.reset();
    p.Card(2).m_pLinks->m_pList.reset();
    (*p.Card(0).LinkList())[0]->m_nScore = -2147483647 - 1;
    (*p.Card(0).LinkList())[0]->m_strCompare = "<=";
    p.m_settings.m_strMusic = "C:\\m\\a.mp3";
    p.m_settings.m_bSlideShow = 2; // any stored integer survives
    const std::string json = ProjectToJson(p);
    CProject back;
    ProjectFromJson(json, back);
    EXPECT_EQ(SaveProjectBytes(back), SaveProjectBytes(p));
    EXPECT_EQ(ProjectToJson(back), json);
    EXPECT_EQ(back.Card(1).m_pLinks, nullptr);
    ASSERT_NE(back.Card(2).m_pLinks, nullptr);
    EXPECT_EQ(back.Card(2).m_pLinks->m_pList, nullptr);
}

TEST(ProjectJson, MissingFieldsTakeDefaults)
{
    CProject p;
    ProjectFromJson(R"({"cards": [{"m_strTitle": "Hi", "m_pLinks": [{"m_nTarget": 1}]}, {}]})", p);
    ASSERT_EQ(p.CardCount(), 2U);
    EXPECT_EQ(p.Card(0).m_strTitle, "Hi");
    EXPECT_EQ(p.Card(0).m_strBackground, "#FFFFFF");
    EXPECT_EQ(p.Card(0).m_nBgAlign, 4);
    EXPECT_EQ(p.Card(1).m_nNumber, 1);
    ASSERT_NE(p.Card(1).LinkList(), nullptr);
    EXPECT_EQ((*p.Card(0).LinkList())[0]->m_nTarget, 1);
    EXPECT_EQ(p.m_settings, CProjectSettings {});
    CProject flags;
    ProjectFromJson(R"({"settings": {"m_bSlideShow": true, "m_nWidth": 800}})", flags);
    EXPECT_EQ(flags.m_settings.m_bSlideShow, 1);
    EXPECT_EQ(flags.m_settings.m_nWidth, 800);
}

TEST(ProjectJson, BadInputIsAClearErrorAndChangesNothing)
{
    struct Case {
        const char* json;
        const char* mentions;
    };
    const std::vector<Case> cases = {
        { R"({"cards": [{"m_strTitle": 5}]})", "cards[0].m_strTitle: expected a string" },
        { R"({"cards": [{"m_nBgAlign": "4"}]})", "cards[0].m_nBgAlign: expected an integer" },
        { R"({"cards": [{"m_nBgAlign": 4.5}]})", "expected an integer" },
        { R"({"cards": [{"m_pLinks": [{"m_nTarget": 4294967296}]}]})",
            "cards[0].m_pLinks[0].m_nTarget: integer out" },
        { R"({"cards": [{"m_strTitel": "x"}]})", "cards[0].m_strTitel: unknown field" },
        { R"({"cards": {}})", "cards: expected an array" },
        { R"({"settings": {"m_nWidth": -2147483649}})", "settings.m_nWidth: integer out" },
        { R"([1])", "project: expected an object" },
        { R"({"cards": [)", "not valid JSON" },
        { R"({"cards": [{"m_pLinks": 3}]})", "cards[0].m_pLinks: expected an array" },
    };
    for (const Case& c : cases) {
        CProject p;
        p.BuildStarter();
        try {
            ProjectFromJson(c.json, p);
            ADD_FAILURE() << c.json << " accepted";
        } catch (const CProjectJsonError& e) {
            EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos) << e.what();
        }
        EXPECT_EQ(p.CardCount(), 3U);
    }
    std::string deep(100000, '[');
    CProject p;
    EXPECT_THROW(ProjectFromJson(deep, p), CProjectJsonError);
}
