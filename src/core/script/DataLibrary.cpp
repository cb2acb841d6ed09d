#include "core/script/DataLibrary.h"

#include <algorithm>
#include <cstdio>

#include "core/base/NamedList.h"

namespace {

// Names as they appear in messages; a missing name prints as "(null)".
const char* Show(const char* name) { return name ? name : "(null)"; }

bool Matches(DataKind wanted, DataKind actual) { return wanted == DataKind::Any || wanted == actual; }

// A kind as the mismatch line names it, with its article.
const char* KindName(DataKind kind) {
    switch (kind) {
        case DataKind::Any: return "an entry of any kind";
        case DataKind::Bitmap: return "a Bitmap";
        case DataKind::Portrait: return "a Portrait";
        case DataKind::Palette: return "a Palette";
        case DataKind::Font: return "a Font";
        case DataKind::TextureFile: return "a TextureFile";
        case DataKind::Sound: return "a Sound";
        case DataKind::SoundRecord: return "a SoundRecord";
        case DataKind::Music: return "a Music";
        case DataKind::ItemPrototype: return "an ItemPrototype";
        case DataKind::EnemyPrototype: return "an EnemyPrototype";
        case DataKind::FieldSpriteAnimation: return "a FieldSpriteAnimation";
        case DataKind::ConsoleCommand: return "a ConsoleCommand";
        case DataKind::FieldSprite: return "a FieldSprite";
        case DataKind::FieldSpriteDisplayList: return "a FieldSpriteDisplayList";
    }
    return "an entry of unknown kind";
}

// The first level list of that name (levels hold their child lists directly).
NamedList* FindLevel(NamedList* list, const char* name) {
    if (!list || !name) return nullptr;
    return static_cast<NamedList*>(list->Find(name));
}

}  // namespace

DataLibrary::DataLibrary() { root_ = NewList(); }

DataLibrary::~DataLibrary() {
    for (NamedList* list : lists_) delete list;
    for (Entry* entry : entries_) delete entry;
}

NamedList* DataLibrary::NewList() {
    NamedList* list = new NamedList(false);
    lists_.push_back(list);
    return list;
}

// ---------------------------------------------------------------- lookups

NamedList* DataLibrary::GetSection(const char* section) {
    NamedList* found = FindLevel(root_, section);
    if (!found && warnOnMiss_)
        std::fprintf(stderr, "DataLibrary - GetSection(N):  Failed, %s not found\n", Show(section));
    return found;
}

NamedList* DataLibrary::GetCatalogueB(NamedList* sectionList, const char* catalogue) {
    if (!sectionList) return nullptr;
    NamedList* found = FindLevel(sectionList, catalogue);
    if (!found && warnOnMiss_)
        std::fprintf(stderr, "DataLibrary - GetCatalogue(B):  Failed, %s not found\n", Show(catalogue));
    return found;
}

NamedList* DataLibrary::GetHeadingB(NamedList* catalogueList, const char* heading) {
    if (!catalogueList) return nullptr;
    NamedList* found = FindLevel(catalogueList, heading);
    if (!found && warnOnMiss_)
        std::fprintf(stderr, "DataLibrary - GetHeading(B):  Failed, %s not found\n", Show(heading));
    return found;
}

NamedList* DataLibrary::GetCatalogue(const char* section, const char* catalogue) {
    NamedList* sectionList = GetSection(section);
    if (!sectionList) return nullptr;
    NamedList* found = FindLevel(sectionList, catalogue);
    if (!found && warnOnMiss_)
        std::fprintf(stderr, "DataLibrary - GetCatalogue(N):  Failed, %s not found\n", Show(catalogue));
    return found;
}

NamedList* DataLibrary::GetHeading(const char* section, const char* catalogue, const char* heading) {
    NamedList* catalogueList = GetCatalogueB(GetSection(section), catalogue);
    if (!catalogueList) return nullptr;
    NamedList* found = FindLevel(catalogueList, heading);
    if (!found && warnOnMiss_)
        std::fprintf(stderr, "DataLibrary - GetHeading(N):  Failed, %s not found\n", Show(heading));
    return found;
}

NamedList* DataLibrary::GetCatalogueA(const char* catalogue) {
    if (!activeSection_) {
        std::fputs("DataLibrary - GetCatalogue(A):  Failed, no Active Section\n", stderr);
        return nullptr;
    }
    return FindLevel(activeSection_, catalogue);
}

NamedList* DataLibrary::GetHeadingA(const char* heading) {
    if (!activeCatalogue_) {
        std::fputs("DataLibrary - GetHeading(A):  Failed, no Active Catalogue\n", stderr);
        return nullptr;
    }
    return FindLevel(activeCatalogue_, heading);
}

DataLibrary::Entry* DataLibrary::FindEntry(NamedList* headingList, const char* name, DataKind kind) {
    if (!headingList || !name) return nullptr;
    for (NamedList::Node* node = headingList->GetHead(); node; node = node->next) {
        Entry* entry = static_cast<Entry*>(node->value);
        if (entry && node->name == name && Matches(kind, entry->kind)) return entry;
    }
    return nullptr;
}

void* DataLibrary::GetPointer(const char* section, const char* catalogue, const char* heading, const char* name,
                              DataKind kind) {
    NamedList* headingList = GetHeadingB(GetCatalogueB(GetSection(section), catalogue), heading);
    if (!headingList) return nullptr;
    Entry* entry = FindEntry(headingList, name, kind);
    if (!entry) {
        if (warnOnMiss_) ReportMiss(headingList, section, catalogue, heading, name, kind);
        return nullptr;
    }
    return entry->pointer;
}

void DataLibrary::ReportMiss(NamedList* headingList, const char* section, const char* catalogue, const char* heading,
                             const char* name, DataKind kind) {
    // A name registered only with another kind is not missing: the caller
    // asked for the wrong kind, and the line says which it is.
    if (const Entry* other = FindEntry(headingList, name, DataKind::Any); other && kind != DataKind::Any) {
        std::fprintf(stderr, "DataLibrary:  Warning, Root/%s/%s/%s/%s is %s, not %s\n", Show(section), Show(catalogue),
                     Show(heading), Show(name), KindName(other->kind), KindName(kind));
        return;
    }
    std::fprintf(stderr, "DataLibrary:  Warning, Root/%s/%s/%s/%s does not exist\n", Show(section), Show(catalogue),
                 Show(heading), Show(name));
}

void* DataLibrary::FindPointerInHeading(NamedList* headingList, const char* name, DataKind kind) {
    Entry* entry = FindEntry(headingList, name, kind);
    return entry ? entry->pointer : nullptr;
}

void* DataLibrary::FindPointerInCatalogue(NamedList* catalogueList, const char* name, DataKind kind) {
    if (!catalogueList) return nullptr;
    for (NamedList::Node* node = catalogueList->GetHead(); node; node = node->next) {
        if (void* found = FindPointerInHeading(static_cast<NamedList*>(node->value), name, kind)) return found;
    }
    return nullptr;
}

void* DataLibrary::FindPointerInSection(NamedList* sectionList, const char* name, DataKind kind) {
    if (!sectionList) return nullptr;
    for (NamedList::Node* node = sectionList->GetHead(); node; node = node->next) {
        if (void* found = FindPointerInCatalogue(static_cast<NamedList*>(node->value), name, kind)) return found;
    }
    return nullptr;
}

void* DataLibrary::GetPointerQuietly(const char* section, const char* catalogue, const char* heading, const char* name,
                                     DataKind kind) {
    QuietLookups quiet(*this);
    return GetPointer(section, catalogue, heading, name, kind);
}

void* DataLibrary::FindPointerAnywhere(const char* name, DataKind kind) {
    for (NamedList::Node* node = root_->GetHead(); node; node = node->next) {
        if (void* found = FindPointerInSection(static_cast<NamedList*>(node->value), name, kind)) return found;
    }
    return nullptr;
}

// ---------------------------------------------------------------- building

NamedList* DataLibrary::AddSection(const char* section) {
    if (!section) return nullptr;
    // A Section that already exists is reused, so entries registered under
    // its name stay reachable by their path.
    NamedList* list = FindLevel(root_, section);
    if (!list) {
        list = NewList();
        root_->Add(section, list);
    }
    activeSection_ = list;
    activeSectionName_ = section;
    if (verbose_) std::fprintf(stderr, "DataLibrary:  Registered Root/%s/\n", section);
    return list;
}

NamedList* DataLibrary::AddCatalogue(const char* section, const char* catalogue) {
    NamedList* sectionList = FindLevel(root_, section);
    if (!sectionList || !catalogue) return nullptr;
    NamedList* list = FindLevel(sectionList, catalogue);
    if (!list) {
        list = NewList();
        sectionList->Add(catalogue, list);
    }
    activeCatalogue_ = list;
    activeCatalogueName_ = catalogue;
    if (verbose_) std::fprintf(stderr, "DataLibrary:  Registered Root/%s/%s/ \n", section, catalogue);
    return list;
}

NamedList* DataLibrary::AddHeading(const char* section, const char* catalogue, const char* heading) {
    NamedList* catalogueList = FindLevel(FindLevel(root_, section), catalogue);
    if (!catalogueList || !heading) return nullptr;
    NamedList* list = FindLevel(catalogueList, heading);
    if (!list) {
        list = NewList();
        catalogueList->Add(heading, list);
    }
    activeHeading_ = list;
    activeHeadingName_ = heading;
    if (verbose_) std::fprintf(stderr, "DataLibrary:  Registered Root/%s/%s/%s/ \n", section, catalogue, heading);
    return list;
}

void DataLibrary::Append(NamedList* headingList, const char* name, void* pointer, DataKind kind) {
    Entry* entry = new Entry{pointer, kind};
    entries_.push_back(entry);
    headingList->Add(name, entry);
}

bool DataLibrary::Register(const char* section, const char* catalogue, const char* heading, const char* name,
                           void* pointer, DataKind kind) {
    if (!pointer) {
        std::fprintf(stderr, "DataLibrary - Register:  Warning, Pointer %s did not exist when registered\n",
                     Show(name));
        return false;
    }
    if (!name) return false;
    NamedList* headingList = GetHeadingB(GetCatalogueB(GetSection(section), catalogue), heading);
    if (!headingList) return false;
    Append(headingList, name, pointer, kind);
    if (verbose_)
        std::fprintf(stderr, "DataLibrary:  Registered Root/%s/%s/%s/%s \n", section, catalogue, heading, name);
    return true;
}

bool DataLibrary::RegisterInActiveHeading(const char* name, void* pointer, DataKind kind) {
    if (!pointer || !activeHeading_ || !name) return false;
    Append(activeHeading_, name, pointer, kind);
    if (verbose_)
        std::fprintf(stderr, "DataLibrary:  Registered Root/%s/%s/%s/%s \n", activeSectionName_.c_str(),
                     activeCatalogueName_.c_str(), activeHeadingName_.c_str(), name);
    return true;
}

void* DataLibrary::RemovePointer(const char* section, const char* catalogue, const char* heading, const char* name,
                                 DataKind kind) {
    NamedList* headingList = GetHeadingB(GetCatalogueB(GetSection(section), catalogue), heading);
    if (!headingList) return nullptr;
    // Duplicated names go as the list removes them: the head when it
    // matches, else the tail, else the first inner match.
    NamedList::Node* node = headingList->FindForRemovalIf([&](const NamedList::Node& candidate) {
        auto* entry = static_cast<Entry*>(candidate.value);
        return name && entry && candidate.name == name && Matches(kind, entry->kind);
    });
    Entry* entry = node ? static_cast<Entry*>(node->value) : nullptr;
    if (!entry) {
        ReportMiss(headingList, section, catalogue, heading, name, kind);
        return nullptr;
    }
    headingList->RemoveValue(entry);
    void* pointer = entry->pointer;
    entries_.erase(std::find(entries_.begin(), entries_.end(), entry));
    delete entry;
    // The caller owns the object now and may delete it: the library keeps no
    // pointer to it as its active object or on its stack.
    if (activeObject_ == pointer) {
        activeObject_ = nullptr;
        activeKind_ = DataKind::Any;
    }
    for (auto& saved : stack_) {
        if (saved.first == pointer) saved = {nullptr, DataKind::Any};
    }
    return pointer;
}

// ---------------------------------------------------------------- active object

void DataLibrary::SetActiveObject(void* object, DataKind kind) {
    activeObject_ = object;
    activeKind_ = object ? kind : DataKind::Any;
}

void DataLibrary::SetActiveObject(const char* section, const char* catalogue, const char* heading, const char* name) {
    activeObject_ = nullptr;
    activeKind_ = DataKind::Any;
    NamedList* headingList = GetHeadingB(GetCatalogueB(GetSection(section), catalogue), heading);
    if (!headingList) return;
    Entry* entry = FindEntry(headingList, name, DataKind::Any);
    if (!entry) {
        if (warnOnMiss_) ReportMiss(headingList, section, catalogue, heading, name, DataKind::Any);
        return;
    }
    activeObject_ = entry->pointer;
    activeKind_ = entry->kind;
}

void* DataLibrary::GetActiveObject(DataKind expected) {
    if (!activeObject_ || !Matches(expected, activeKind_)) return nullptr;
    return activeObject_;
}

void DataLibrary::PushActiveEntity() {
    if (!activeObject_) return;
    stack_.emplace_back(activeObject_, activeKind_);
    activeObject_ = nullptr;
    activeKind_ = DataKind::Any;
}

void DataLibrary::ForgetObject(const void* object) {
    if (!object) return;
    if (activeObject_ == object) {
        activeObject_ = nullptr;
        activeKind_ = DataKind::Any;
    }
    for (auto& saved : stack_) {
        if (saved.first == object) saved = {nullptr, DataKind::Any};
    }
}

void* DataLibrary::PopActiveEntity() {
    if (stack_.empty()) {
        activeObject_ = nullptr;
        activeKind_ = DataKind::Any;
        return nullptr;
    }
    activeObject_ = stack_.back().first;
    activeKind_ = activeObject_ ? stack_.back().second : DataKind::Any;
    stack_.pop_back();
    return activeObject_;
}
