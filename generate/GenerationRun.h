// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/ActionBlock.h"
#include "swf/Button.h"
#include "swf/DisplayItem.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/Text.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The state of one generation run: the movie, the objects shared by every card, and the items the
// card being built has placed. Released when the run ends.
struct CGenerationRun {
    std::optional<swf::Movie> movie;
    float fWidth = 0.0F;
    float fHeight = 0.0F;

    // Set by the first button background made in the run; -1 while unset.
    float fButtonWidth = -1.0F;
    float fButtonHeight = -1.0F;
    std::shared_ptr<swf::Shape> pButtonBackground;
    std::shared_ptr<swf::Shape> pButtonOver;

    std::shared_ptr<swf::Text> pCreditText;
    std::shared_ptr<swf::Text> pCreditShadow;
    std::shared_ptr<swf::Shape> pPromoteRect;
    std::shared_ptr<swf::Shape> pAuthorRect;
    std::shared_ptr<swf::Button> pPromoteButton;
    std::shared_ptr<swf::Button> pAuthorButton;
    bool bPromoteScripted = false;
    bool bAuthorScripted = false;

    std::optional<swf::ActionBlock> stopBlock;
    bool bFontsNoticed = false;

    // The project's e-mail address as the scripts carry it, fitted once per run.
    std::optional<std::string> strScriptEmail;
    // The card being built: its title and its links' titles as its scripts carry them.
    std::string strScriptTitle;
    std::vector<std::string> linkScriptTitles;

    // Items of the card being built: taken off the stage after its frame closes. The first group
    // goes with the frame step, the second (picture and link items) with the clearing step.
    std::vector<swf::DisplayItem> frameItems;
    std::vector<swf::DisplayItem> linkItems;

    swf::Movie& Movie()
    {
        if (!movie) {
            throw std::runtime_error("no movie: its set-up failed");
        }
        return *movie;
    }
};
