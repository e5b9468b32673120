// SPDX-License-Identifier: GPL-3.0-or-later
// The link buttons of a card: background by the button look, states, row layout, caption, script.
#include "generate/CardLayout.h"
#include "generate/CardText.h"
#include "generate/GenerationRun.h"
#include "generate/Generator.h"
#include "generate/GiftScripts.h"
#include "generate/PicturePreparation.h"
#include "swf/Bitmap.h"
#include "swf/DblBitmap.h"
#include "swf/actionscript/Compiler.h"
#include "swf/read/PrebuiltClip.h"

using cardtext::ColourOf;
using cardtext::Lower;
using cardtext::WithReason;

namespace {

// Size of colour and Flash buttons, and of a picture button whose picture cannot be loaded.
constexpr float kButtonWidth = 60.0F;
constexpr float kButtonHeight = 30.0F;

} // namespace

void CGenerator::AddLinks(const CCardInfo& card, int bWholeMovie, int bForce, int nCardNumber)
{
    CGenerationRun& run = *m_pRun;
    const CLinkList* pLinks = card.LinkList();
    if (pLinks == nullptr) {
        return;
    }
    CProjectSettings& settings = m_project.m_settings;
    uint32_t nTextColour = 0;
    ReadColour(settings.m_strTextColor, nTextColour);

    float fX = 20.0F;
    for (size_t nLink = 0; nLink < pLinks->size(); ++nLink) {
        const std::unique_ptr<CLinkInfo>& pLink = (*pLinks)[nLink];
        if (!pLink) {
            continue;
        }
        const CLinkInfo& link = *pLink;
        // The look is decided per link: a Flash file that fails turns the setting into white.
        const std::string strAbsolute = AbsoluteReference(settings.m_strButton);
        const std::string strLower = Lower(strAbsolute);
        const bool bColour = strLower.find('#') != std::string::npos;
        const bool bFlash = !bColour && strLower.ends_with(".swf");

        std::shared_ptr<swf::Text> pCaption;
        float fCaptionWidth = 0.0F;
        Guard("Error when adding the title of link, please restart the program", [&] {
            pCaption = cardtext::MakeText(m_pTextFont, ColourOf(nTextColour), 14.0F);
            pCaption->addString(link.m_strTitle);
            fCaptionWidth = pCaption->getStringWidth(link.m_strTitle);
        });

        if (bColour) {
            if (!run.pButtonBackground) {
                Guard("Error when setting the color of the link", [&] {
                    uint32_t nColour = 0xFFFFFF;
                    ReadColour(settings.m_strButton, nColour);
                    run.pButtonBackground =
                        swf::Shape::filledRectangle(kButtonWidth, kButtonHeight, ColourOf(nColour));
                    if (run.fButtonWidth < 0) {
                        run.fButtonWidth = kButtonWidth;
                        run.fButtonHeight = kButtonHeight;
                    }
                });
            }
        } else if (bFlash) {
            const std::filesystem::path file = ResolveReference(settings.m_strButton);
            if (!file.empty()) {
                std::shared_ptr<swf::PrebuiltClip> pClip;
                std::string strWhy;
                for (int attempt = 0; attempt < 2 && !pClip; ++attempt) {
                    try {
                        pClip = swf::PrebuiltClip::fromFile(file);
                    } catch (const std::exception& e) {
                        pClip.reset();
                        strWhy = e.what();
                    }
                }
                if (!pClip) {
                    settings.m_strButton = "#FFFFFF";
                    m_reports.ShowNotice(WithReason("Attention: The swf file " + strAbsolute +
                            " of button may not work well.\nSuggestion: Please add this swf before "
                            "previewing "
                            "or publishing to decrease errors.",
                        strWhy));
                } else {
                    Guard("Failed to move the title of the button", [&] {
                        swf::DisplayItem item = run.Movie().add(pClip);
                        item.moveTo(fX, run.fHeight - 50.0F);
                        run.linkItems.push_back(item);
                    });
                }
            }
            if (run.fButtonWidth < 0) {
                run.fButtonWidth = kButtonWidth;
                run.fButtonHeight = kButtonHeight;
            }
        } else if (!run.pButtonBackground) {
            std::shared_ptr<swf::Shape> pShape;
            Guard("Error when creating a Shape", [&] { pShape = std::make_shared<swf::Shape>(); });
            std::shared_ptr<swf::Bitmap> pBitmap;
            const std::filesystem::path file = ResolveReference(settings.m_strButton);
            if (!file.empty()) {
                std::string strWhy;
                try {
                    if (strLower.ends_with("dbl")) {
                        pBitmap = swf::DblBitmap::fromFile(file);
                    } else {
                        CPictureContext context { m_appDir, settings.m_nWidth, settings.m_nHeight,
                            settings.m_nQuality };
                        const std::string strJpeg = ConvertPictureToJpeg(
                            context, file.string(), nCardNumber, kButtonPlacement, bForce, &strWhy);
                        if (!strJpeg.empty()) {
                            pBitmap = swf::loadBitmap(strJpeg);
                        }
                    }
                } catch (const std::exception& e) {
                    pBitmap.reset();
                    strWhy = e.what();
                }
                if (!pBitmap) {
                    m_reports.ShowNotice(WithReason(
                        "Failed to add picture:" + strAbsolute + ", please try it again.", strWhy));
                }
            }
            if (pBitmap && pShape) {
                Guard("Failed to draw the background of button", [&] {
                    pShape->setRightFill(pShape->addBitmapFill(pBitmap, swf::BitmapFillKind::Clipped));
                    const auto bw = static_cast<float>(pBitmap->width());
                    const auto bh = static_cast<float>(pBitmap->height());
                    if (run.fButtonWidth < 0) {
                        run.fButtonWidth = bw;
                        run.fButtonHeight = bh;
                    }
                    pShape->drawRectangle(bw, bh);
                    pShape->end();
                    run.pButtonBackground = pShape;
                });
            }
            // Without its picture the button keeps the size of the other kinds, so the row and
            // captions stay laid out.
            if (run.fButtonWidth < 0) {
                run.fButtonWidth = kButtonWidth;
                run.fButtonHeight = kButtonHeight;
            }
        }

        auto pButton = std::make_shared<swf::Button>();
        if (!run.pButtonBackground) {
            Guard("Failed to draw the background of the button", [&] {
                run.pButtonBackground =
                    swf::Shape::filledRectangle(kButtonWidth, kButtonHeight, swf::Color { 255, 255, 255, 0 });
            });
        }
        Guard("Failed to add button to the card", [&] {
            if (!run.pButtonBackground) {
                throw std::runtime_error("no button background");
            }
            if (!bColour) {
                pButton->addShape(run.pButtonBackground, swf::Button::kAllStates);
            } else {
                pButton->addShape(
                    run.pButtonBackground, swf::Button::kUp | swf::Button::kDown | swf::Button::kHit);
                if (!run.pButtonOver) {
                    uint32_t nColour = 0xFFFFFF;
                    ReadColour(settings.m_strButton, nColour);
                    run.pButtonOver = swf::Shape::filledRectangle(
                        kButtonWidth, kButtonHeight, ColourOf(OverColour(nColour)));
                }
                pButton->addShape(run.pButtonOver, swf::Button::kOver);
            }
        });
        if (bWholeMovie != 0) {
            Guard("Failed to add action gotoAndPlay to the e-gift", [&] {
                // The titles as the script carries them (shortened where too long for its record).
                CLinkInfo scripted = link;
                if (nLink < run.linkScriptTitles.size()) {
                    scripted.m_strTitle = run.linkScriptTitles[nLink];
                }
                std::optional<std::vector<uint8_t>> bytes = AssembleLinkScript(run.strScriptTitle, scripted);
                if (!bytes) {
                    bytes = swf::actionscript::compile(MakeLinkScript(run.strScriptTitle, scripted));
                }
                pButton->addAction(swf::ActionBlock(std::move(*bytes)), swf::Button::kRelease);
            });
        }
        Guard("Failed to move the title of the button", [&] {
            swf::DisplayItem buttonItem = run.Movie().add(pButton);
            buttonItem.moveTo(fX, run.fHeight - 60.0F);
            run.linkItems.push_back(buttonItem);
            if (!pCaption) {
                throw std::runtime_error("no caption");
            }
            swf::DisplayItem captionItem = run.Movie().add(pCaption);
            if (strLower.ends_with("swf")) {
                captionItem.moveTo(fX, run.fHeight - 40.0F);
            } else {
                captionItem.moveTo(fX + (run.fButtonWidth - fCaptionWidth) * 0.5F,
                    (run.fHeight - 45.0F) + (run.fButtonHeight - 14.0F) * 0.5F);
            }
            run.linkItems.push_back(captionItem);
            fX = NextButtonX(fX, run.fButtonWidth);
        });
    }
}
