#include "PopupMenu.h"

PopupMenuItem::PopupMenuItem(const char* text, int flags, PopupMenu* pSubmenu)
    : mFlags(flags), mText(text ? text : ""), mpSubmenu(pSubmenu)
{
}

PopupMenuItem::~PopupMenuItem() {}

void PopupMenuItem::SetChecked(bool checked)
{
    if (checked) {
        mFlags |= Flags_Checked;
    } else {
        mFlags &= ~Flags_Checked;
    }
}

PopupMenu::~PopupMenu() {}

PopupMenuItem* PopupMenu::AddItem(PopupMenuItem* pItem, int position)
{
    if (!pItem) return nullptr;
    if (position < 0 || position >= NItems()) {
        mItems.emplace_back(pItem);
    } else {
        mItems.emplace(mItems.begin() + position, pItem);
    }
    return pItem;
}

PopupMenuItem* PopupMenu::AddItem(const char* text, int position, int flags)
{
    return AddItem(new PopupMenuItem(text, flags), position);
}

PopupMenuItem* PopupMenu::AddSeparator(int position)
{
    return AddItem(new PopupMenuItem("", PopupMenuItem::Flags_Separator), position);
}

PopupMenuItem* PopupMenu::Item(int index) const
{
    if (index < 0 || index >= NItems()) return nullptr;
    return mItems[index].get();
}

bool PopupMenu::HoldsCheckedItem() const
{
    for (const std::unique_ptr<PopupMenuItem>& pItem : mItems) {
        if (pItem->IsChecked()) return true;
        if (pItem->Submenu() && pItem->Submenu()->HoldsCheckedItem()) return true;
    }
    return false;
}
