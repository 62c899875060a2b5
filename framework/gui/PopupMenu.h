// A menu the editor builds before the window shows it natively: the value
// menus of Enum parameters, for example. Items own their texts and
// submenus; the menu owns its items.
#pragma once

#include <memory>
#include <string>
#include <vector>

class PopupMenu;

class PopupMenuItem {
public:
    enum Flags {
        Flags_None = 0,
        Flags_Checked = 1 << 2,   // shown with a check mark
        Flags_Separator = 1 << 3  // a separator line instead of an entry
    };

    // Takes ownership of the submenu.
    PopupMenuItem(const char* text, int flags = Flags_None, PopupMenu* pSubmenu = nullptr);
    ~PopupMenuItem();

    const char* Text() const { return mText.c_str(); }
    int GetFlags() const { return mFlags; }
    void SetChecked(bool checked);
    bool IsChecked() const { return (mFlags & Flags_Checked) != 0; }
    bool IsSeparator() const { return (mFlags & Flags_Separator) != 0; }
    PopupMenu* Submenu() const { return mpSubmenu.get(); }

private:
    PopupMenuItem(const PopupMenuItem&) = delete;
    PopupMenuItem& operator=(const PopupMenuItem&) = delete;

    int mFlags;
    std::string mText;
    std::unique_ptr<PopupMenu> mpSubmenu;
};

class PopupMenu {
public:
    PopupMenu() {}
    ~PopupMenu();

    // Takes ownership of the item. Position -1 appends; any other position
    // inserts there, clamped to the list. Returns the item.
    PopupMenuItem* AddItem(PopupMenuItem* pItem, int position = -1);
    PopupMenuItem* AddItem(const char* text, int position = -1, int flags = PopupMenuItem::Flags_None);
    PopupMenuItem* AddSeparator(int position = -1);

    int NItems() const { return static_cast<int>(mItems.size()); }
    PopupMenuItem* Item(int index) const;
    // True when an item, or an item of a submenu at any depth, is checked.
    bool HoldsCheckedItem() const;

    // The index of the item the user chose; -1 = none.
    int ChosenItemIndex() const { return mChosenItem; }
    void SetChosenItemIndex(int index) { mChosenItem = index; }

private:
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    int mChosenItem = -1;
    std::vector<std::unique_ptr<PopupMenuItem>> mItems;
};
