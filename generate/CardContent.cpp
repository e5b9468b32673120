// SPDX-License-Identifier: GPL-3.0-or-later
// What a card shows below its links: background colour, picture or Flash file, title and comment.
#include "generate/CardLayout.h"
#include "generate/CardText.h"
#include "generate/GenerationRun.h"
#include "generate/Generator.h"
#include "generate/PicturePreparation.h"
#include "generate/SplitString.h"
#include "swf/Bitmap.h"
#include "swf/DblBitmap.h"
#include "swf/read/PrebuiltClip.h"

#include <algorithm>
#include <cctype>

using cardtext::ColourOf;
using cardtext::Lower;
using cardtext::WithReason;

namespace {

// Comment lines beyond this are left out: the 200 cards a project may have, each with this many
// lines and its other items, stay within the 65,535 character ids of one movie. (A card shows 46
// lines at most, on the highest stage.)
constexpr size_t kMaxCommentLines = 250;

std::shared_ptr<swf::Text> MakeText(
    const std::shared_ptr<swf::FdbFont>& pFont, uint32_t nColour, float fHeight)
{
    return cardtext::MakeText(pFont, ColourOf(nColour), fHeight);
}

} // namespace

void CGenerator::AddBackground(const CCardInfo& card, int bForce, int nCardNumber)
{
    CGenerationRun& run = *m_pRun;
    const CProjectSettings& settings = m_project.m_settings;
    const bool bProject = card.m_bUseProjectBg != 0;
    const std::string& strReference = bProject ? settings.m_strBackground : card.m_strBackground;
    const int nAlign = bProject ? settings.m_nBgAlign : card.m_nBgAlign;
    const std::string strAbsolute = AbsoluteReference(strReference);
    const std::string strLower = Lower(strAbsolute);

    uint32_t nColour = 0xFFFFFF;
    if (strLower.find('#') != std::string::npos) {
        ReadColour(strReference, nColour);
    }
    // Colour texts may carry text before the "#" only in damaged projects; they keep white.
    Guard("Error when drawing color background. Please try again", [&] {
        run.frameItems.push_back(
            run.Movie().add(swf::Shape::filledRectangle(run.fWidth, run.fHeight, ColourOf(nColour))));
    });

    const std::filesystem::path file = ResolveReference(strReference);
    if (strLower.ends_with(".swf") && !file.empty()) {
        std::shared_ptr<swf::PrebuiltClip> pClip;
        try {
            pClip = swf::PrebuiltClip::fromFile(file);
        } catch (const std::exception& e) {
            m_reports.ShowNotice(WithReason("Attention: The swf file " + strAbsolute +
                    " of background may not work well.\nSuggestion: Please add this swf file before "
                    "previewing "
                    "or publishing to decrease errors.",
                e.what()));
        }
        if (pClip) {
            Guard("Error when add Swf file to the e-gift.", [&] {
                swf::DisplayItem item = run.Movie().add(pClip);
                item.moveTo(0, 0);
                run.frameItems.push_back(item);
            });
        }
        return;
    }
    if (strLower.find('#') != std::string::npos || file.empty()) {
        return;
    }

    // A DBL file is a bitmap the movie takes as it is: it is not prepared, so it keeps its own size
    // and goes where its anchor puts it; tiling and stretching need a prepared picture and fall
    // back to the centre.
    const bool bDbl = strLower.ends_with(".dbl");
    int nPlacement = nAlign;
    CPictureContext context { m_appDir, settings.m_nWidth, settings.m_nHeight, settings.m_nQuality };
    std::shared_ptr<swf::Bitmap> pBitmap;
    std::string strWhy;
    try {
        if (bDbl) {
            pBitmap = swf::DblBitmap::fromFile(file);
            if (nPlacement < 0 || nPlacement > 8) {
                nPlacement = 4;
            }
        } else {
            const std::string strJpeg =
                ConvertPictureToJpeg(context, file.string(), nCardNumber, nAlign, bForce, &strWhy);
            if (!strJpeg.empty()) {
                pBitmap = swf::loadBitmap(strJpeg);
            }
        }
    } catch (const std::exception& e) {
        pBitmap.reset();
        strWhy = e.what();
    }
    if (!pBitmap) {
        m_reports.ShowMessage("loading");
        m_reports.ShowNotice(
            WithReason("Loading picture '" + strAbsolute + "' failed, please try it again.", strWhy));
        return;
    }
    const CPicturePlacement placement =
        PlacePicture(pBitmap->width(), pBitmap->height(), run.fWidth, run.fHeight, nPlacement);
    Guard("Error in draw the color of background", [&] {
        auto pShape = std::make_shared<swf::Shape>();
        pShape->setLeftFill(pShape->addBitmapFill(
            pBitmap, placement.bTiled ? swf::BitmapFillKind::Tiled : swf::BitmapFillKind::Clipped));
        const auto w = static_cast<float>(placement.nWidth);
        const auto h = static_cast<float>(placement.nHeight);
        pShape->drawRectangle(w, h);
        pShape->end();
        swf::DisplayItem item = run.Movie().add(pShape);
        item.moveTo(static_cast<float>(placement.nX), static_cast<float>(placement.nY));
        run.linkItems.push_back(item);
    });
}

void CGenerator::AddTitle(const CCardInfo& card)
{
    CGenerationRun& run = *m_pRun;
    // The title colour is read into the number that holds the background colour.
    const CProjectSettings& settings = m_project.m_settings;
    const std::string& strReference =
        card.m_bUseProjectBg != 0 ? settings.m_strBackground : card.m_strBackground;
    uint32_t nColour = 0xFFFFFF;
    if (strReference.find('#') != std::string::npos) {
        ReadColour(strReference, nColour);
    }
    ReadColour(card.m_strTitleColor, nColour);

    std::shared_ptr<swf::Text> pLine1;
    std::shared_ptr<swf::Text> pLine2;
    Guard("Error when creating title", [&] {
        pLine1 = MakeText(m_pTitleFont, nColour, 24.0F);
        pLine2 = MakeText(m_pTitleFont, nColour, 24.0F);
    });
    CTitleLines lines;
    Guard("Error when get the length of title, please try it again", [&] {
        if (!pLine1) {
            throw std::runtime_error("no title item");
        }
        lines = BreakTitle(card.m_strTitle, run.fWidth,
            [&](const std::string& strText) { return pLine1->getStringWidth(strText); });
    });
    Guard("Error when adding title to the e-gift", [&] {
        if (!pLine1 || !pLine2) {
            throw std::runtime_error("no title item");
        }
        pLine1->addString(lines.strLine1);
        swf::DisplayItem item1 = run.Movie().add(pLine1);
        item1.moveTo(10, 40);
        run.frameItems.push_back(item1);
        pLine2->addString(lines.strLine2);
        swf::DisplayItem item2 = run.Movie().add(pLine2);
        item2.moveTo(10, 66);
        run.frameItems.push_back(item2);
    });
    m_nLastColour = nColour;
}

void CGenerator::AddComment(const CCardInfo& card, int nCardNumber)
{
    CGenerationRun& run = *m_pRun;
    try {
        uint32_t nColour = m_nLastColour;
        ReadColour(card.m_strCommentColor, nColour);
        std::vector<std::string> lines = SplitString(card.m_strComment, "\n");
        if (lines.size() > kMaxCommentLines) {
            lines.resize(kMaxCommentLines);
            m_reports.ShowNotice("The comment of card " + std::to_string(nCardNumber + 1) +
                " has more lines than a movie holds for a card; its first " +
                std::to_string(kMaxCommentLines) + " lines are drawn.");
        }
        for (size_t j = 0; j < lines.size(); ++j) {
            auto pText = MakeText(m_pTextFont, nColour, 20.0F);
            swf::DisplayItem item = run.Movie().add(pText);
            item.moveTo(10, 100.0F + 20.0F * static_cast<float>(j));
            run.frameItems.push_back(item);
            pText->addString(CommentLineText(lines[j]));
        }
    } catch (const std::exception&) {
        LoadFonts(0);
        m_reports.ShowNotice("Error when add comment to the e-gift, please try it again.");
    }
}
