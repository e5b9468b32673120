// SPDX-License-Identifier: GPL-3.0-or-later
// The credit line: "Created By: ..." with its shadow, the promote button and the author button.
#include "generate/CardText.h"
#include "generate/GenerationRun.h"
#include "generate/Generator.h"
#include "generate/GiftScripts.h"
#include "swf/actionscript/Compiler.h"

namespace {

// The author name that stands for the gift's maker itself: no author button then.
constexpr const char* kStrOwnName = "Marrowlark";
constexpr float kCreditHeight = 14.0F;
constexpr float kPromoteWidth = 140.0F;
constexpr float kAuthorWidth = 150.0F;
constexpr float kCreditBand = 30.0F;

} // namespace

void CGenerator::AddCredit(const CCardInfo& card, int bWholeMovie)
{
    const CProjectSettings& settings = m_project.m_settings;
    if (settings.m_bPromoteLastCard == 0 || (settings.m_bPromoteEachCard == 0 && card.LinkCount() != 0)) {
        return;
    }
    CGenerationRun& run = *m_pRun;
    const bool bAuthor = settings.m_strAuthor != kStrOwnName;
    const std::string strCredit = bAuthor ? "Created By: " + settings.m_strAuthor + " & " + kStrOwnName
                                          : std::string("Created By: ") + kStrOwnName;
    const swf::Color transparent { 255, 255, 255, 0 };

    if (!run.pCreditText) {
        Guard("Failed to add text of promote link", [&] {
            auto pText = cardtext::MakeText(m_pTitleFont, swf::Color { 255, 255, 255, 255 }, kCreditHeight);
            pText->addString(strCredit);
            run.pCreditText = pText;
        });
    }
    if (!run.pCreditShadow) {
        Guard("Failed to add shadow of promote link", [&] {
            auto pText = cardtext::MakeText(m_pTitleFont, swf::Color { 128, 128, 128, 255 }, kCreditHeight);
            pText->addString(strCredit);
            run.pCreditShadow = pText;
        });
    }
    if (!run.pPromoteRect) {
        Guard("Failed to add button background",
            [&] { run.pPromoteRect = swf::Shape::filledRectangle(kPromoteWidth, kCreditBand, transparent); });
    }
    if (bAuthor && !run.pAuthorRect) {
        Guard("Failed to add author button background",
            [&] { run.pAuthorRect = swf::Shape::filledRectangle(kAuthorWidth, kCreditBand, transparent); });
    }
    if (!run.pPromoteButton) {
        Guard("Failed to add shape of promote button", [&] {
            auto pButton = std::make_shared<swf::Button>();
            run.pPromoteButton = pButton;
            if (!run.pPromoteRect) {
                throw std::runtime_error("no promote background");
            }
            pButton->addShape(run.pPromoteRect, swf::Button::kAllStates);
        });
    }
    if (bAuthor && !run.pAuthorButton) {
        Guard("Failed to create new SWF Button", [&] {
            auto pButton = std::make_shared<swf::Button>();
            run.pAuthorButton = pButton;
            if (!run.pAuthorRect) {
                throw std::runtime_error("no author background");
            }
            pButton->addShape(run.pAuthorRect, swf::Button::kAllStates);
        });
    }
    if (bWholeMovie != 0) {
        if (!run.bPromoteScripted) {
            Guard("Failed to add action to button", [&] {
                run.bPromoteScripted = true;
                if (!run.pPromoteButton) {
                    throw std::runtime_error("no promote button");
                }
                run.pPromoteButton->addAction(
                    swf::ActionBlock(swf::actionscript::compile(MakePromoteScript())), swf::Button::kRelease);
            });
        }
        if (bAuthor && !run.bAuthorScripted) {
            Guard("Failed to add email sent link", [&] {
                run.bAuthorScripted = true;
                if (!run.pAuthorButton) {
                    throw std::runtime_error("no author button");
                }
                run.pAuthorButton->addAction(
                    swf::ActionBlock(swf::actionscript::compile(MakeAuthorMailScript(ScriptEmail()))),
                    swf::Button::kPress);
            });
        }
    }
    float fCreditWidth = 0.0F;
    if (run.pCreditText) {
        try {
            fCreditWidth = run.pCreditText->getStringWidth(strCredit);
        } catch (const std::exception&) {
            fCreditWidth = 0.0F;
        }
    }
    const float W = run.fWidth;
    const float H = run.fHeight;
    Guard("Failed to add promote button control", [&] {
        swf::DisplayItem item = run.Movie().add(run.pPromoteButton);
        run.frameItems.push_back(item);
        item.moveTo(W - kPromoteWidth, H - kCreditBand);
    });
    if (bAuthor && run.pAuthorButton) {
        Guard("Failed to add author button control", [&] {
            swf::DisplayItem item = run.Movie().add(run.pAuthorButton);
            run.frameItems.push_back(item);
            item.moveTo(W - 300.0F, H - kCreditBand);
        });
    }
    Guard("Failed to add promote text shadow", [&] {
        swf::DisplayItem item = run.Movie().add(run.pCreditShadow);
        run.frameItems.push_back(item);
        item.moveTo(W + 2.0F - fCreditWidth, H - 8.0F);
    });
    Guard("Failed to add promote text", [&] {
        swf::DisplayItem item = run.Movie().add(run.pCreditText);
        run.frameItems.push_back(item);
        item.moveTo(W - fCreditWidth, H - 10.0F);
    });
}
