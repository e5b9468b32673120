// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/CardInfo.h"
#include "model/ProjectSettings.h"

#include <memory>
#include <vector>

// Where a new card or link goes, relative to the current one.
enum class EInsertPos { Top, Before, After, Bottom };

// The project: the owned card sequence in order, the settings, and the current card and link
// cursors. A card's index is its 0-based position; link targets are such indices and the card
// operations renumber them so that every link keeps pointing at the same card.
class CProject {
public:
    static constexpr size_t kMaxCards = 200;
    static constexpr size_t kMaxLinks = 10;

    CProject() = default;
    CProject(const CProject&) = delete;
    CProject& operator=(const CProject&) = delete;
    // The cursors move with the cards; the source is left empty.
    CProject(CProject&& other) noexcept;
    CProject& operator=(CProject&& other) noexcept;
    ~CProject() = default;

    [[nodiscard]] size_t CardCount() const { return m_cards.size(); }
    [[nodiscard]] CCardInfo& Card(size_t index) { return *m_cards.at(index); }
    [[nodiscard]] const CCardInfo& Card(size_t index) const { return *m_cards.at(index); }
    [[nodiscard]] const std::vector<std::unique_ptr<CCardInfo>>& Cards() const { return m_cards; }
    // Index of the card, or -1 when it is not in this project.
    [[nodiscard]] int IndexOf(const CCardInfo* pCard) const;

    // Creates a card with the defaults for the current card count (title "Card %d:", comment,
    // empty link list), not yet inserted.
    [[nodiscard]] std::unique_ptr<CCardInfo> CreateCard() const;
    // Inserts a new card and makes it current; returns its index. Throws CProjectLimitError at
    // kMaxCards cards, changing nothing.
    int InsertCard(EInsertPos pos);
    // Inserts a card made elsewhere at index (clamped to the end), renumbering targets when it is not
    // appended. Does not check the card limit or move the cursors.
    void InsertCardAt(size_t index, std::unique_ptr<CCardInfo> pCard);
    // Destroys card k with its links, renumbers the targets and clears both cursors.
    void DeleteCard(size_t k);

    // Adds a link to the current card and makes it current; returns it, or nullptr when there is
    // no current card. Throws CProjectLimitError when the card holds kMaxLinks links.
    CLinkInfo* AddLink(EInsertPos pos);
    // Removes and destroys the current link; clears the link cursor. Does nothing without one.
    void RemoveLink();

    // Destroys every card, clears the cursors and resets the settings that clearing resets.
    void Clear();
    // Copies the project background and placement into every card that uses the project background.
    void ApplyProjectBackground();
    // The starter project of the New command: three cards, two links on each of the first two.
    void BuildStarter();
    // Moves the cards of a loaded file in at the end, in order; the cursors are not moved.
    void AppendCards(std::vector<std::unique_ptr<CCardInfo>> cards);

    // Cursors: references into the model, or nullptr.
    [[nodiscard]] CCardInfo* CurrentCard() const { return m_pCurCard; }
    [[nodiscard]] CLinkInfo* CurrentLink() const { return m_pCurLink; }
    // Makes the card current; the link cursor stays as it is.
    void SelectCard(CCardInfo* pCard) { m_pCurCard = pCard; }
    // Makes the link and its card current; a link not in the project selects nothing.
    void SelectLink(CLinkInfo* pLink);
    void ClearCurrentLink() { m_pCurLink = nullptr; }
    // The card holding the link and the link's position in it.
    [[nodiscard]] CCardInfo* CardOfLink(const CLinkInfo* pLink, size_t* pPosition = nullptr) const;

    CProjectSettings m_settings;

private:
    void ShiftTargetsForInsert(int i);

    std::vector<std::unique_ptr<CCardInfo>> m_cards;
    CCardInfo* m_pCurCard = nullptr;
    CLinkInfo* m_pCurLink = nullptr;
};
