#pragma once
// A small game for the save-file target and its seeds: the script host with
// every manager, the player with an inventory, the save-file manager, three
// item prototypes in the data library (codes 1 to 3) and the party's field
// sprite scripts, all in the work folder. Made once per process and kept.
#include <string>

class PartyManager;
class PlayerInventory;
class SFM;

namespace fuzzsupport {

class SaveGame {
public:
    // The one game of the process (made on first use, inside the work
    // folder).
    static SaveGame& Get();

    // The party of three (Orravine, Bramle, Sesket, Bramle's numbers
    // changed, Sesket current) and three kinds of items in the inventory.
    void Reset();

    // Everything a load may change, as text: the party's entries with their
    // names, class ids, statistics and experience, the current, active and
    // leader members, and every item with its code and quantity. With
    // `addresses`, the objects' addresses too (a refused file must not even
    // replace them).
    std::string Snapshot(bool addresses) const;

    SFM& Saves() const { return *m_saves; }
    PartyManager& Party() const { return *m_party; }
    PlayerInventory& Inventory() const { return *m_inventory; }

private:
    SaveGame();
    struct Parts;
    Parts* m_parts;
    SFM* m_saves = nullptr;
    PartyManager* m_party = nullptr;
    PlayerInventory* m_inventory = nullptr;
};

}  // namespace fuzzsupport
