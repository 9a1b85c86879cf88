#pragma once

#include "core/setup/SetupTexts.h"

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace omnar::setup {

// A message box to show: Yes and No buttons, the answer is not used.
struct MessageBox {
    MessageId id = MessageId::ValueOutOfRange;
    std::string text;
    std::string caption;
    int languageId = 1033;
};
MessageBox makeMessageBox(MessageId id, bool chinese);

// What the setup or resolution window changes after a decision. Every map
// holds only the controls the decision touches; the window applies, in
// this order: title, texts (captions, labels and edit contents), list
// items, tooltips, selections, checked, enabled, the modified marks (their
// final state: a text the program writes into a marked edit sets its mark,
// as typing does, and is already counted here), redraws, and last the
// message box.
struct SetupView {
    std::optional<std::string> title;
    std::map<int, std::string> texts;
    std::map<int, std::vector<std::string>> items;
    std::map<int, std::string> tooltips;
    std::map<int, int> selections; // list position; -1 for none
    std::map<int, bool> checked;
    std::map<int, bool> enabled;
    std::map<int, bool> marks;
    std::set<int> redraw; // preview rectangles to place again (previewRect)
    std::optional<MessageBox> message;

    // `later` applied after this one: its entries win.
    void merge(const SetupView& later);
    bool empty() const;

    std::optional<std::string> text(int id) const { return find(texts, id); }
    std::optional<bool> isEnabled(int id) const { return find(enabled, id); }
    std::optional<bool> isChecked(int id) const { return find(checked, id); }
    std::optional<int> selection(int id) const { return find(selections, id); }
    std::optional<bool> mark(int id) const { return find(marks, id); }

private:
    template <typename T>
    static std::optional<T> find(const std::map<int, T>& m, int id)
    {
        auto it = m.find(id);
        if (it == m.end())
            return std::nullopt;
        return it->second;
    }
};

// ---- painting
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Background of a marked edit: while its modified mark is clear / set.
inline constexpr Rgb kMarkClearColour{205, 205, 180};
inline constexpr Rgb kMarkSetColour{0, 255, 255};
constexpr Rgb markColour(bool marked) { return marked ? kMarkSetColour : kMarkClearColour; }

inline constexpr Rgb kPreviewAreaColour{0, 0, 0};
inline constexpr Rgb kBlueText{0, 0, 255};
// Fill of a preview area or rectangle (main green, PIP red, output blue,
// areas black); empty for any other control. Main and PIP carry black text.
std::optional<Rgb> previewFill(int controlId);
// Section titles are written in blue.
bool isSectionTitle(int controlId);

// The 28 edits with a modified mark, in mark order.
extern const std::array<int, 28> kMarkedEdits;
bool isMarkedEdit(int controlId);

} // namespace omnar::setup
