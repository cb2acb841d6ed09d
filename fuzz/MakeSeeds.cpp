// Writes the fuzz targets' seed inputs with the project's own writers:
//   fuzz_make_seeds <fuzz/corpus folder>
// One folder per target; each file is one input in that target's layout
// (see the target's comment for its leading option bytes).
#include <enet/enet.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "IsoMapWriter.h"
#include "LevelWriter.h"
#include "combat/PartyManager.h"
#include "maps/Chunk.h"
#include "network/NetworkMessages.h"
#include "platform/net/BitStream.h"
#include "savefile/SFM.h"
#include "support/SaveGame.h"
#include "world/items/PlayerInventory.h"

namespace {

std::filesystem::path g_root;

void Put(const std::string& target, const std::string& name, const std::string& bytes) {
    std::filesystem::path folder = g_root / target;
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string Str(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

void Le32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Archives() {
    sif::ArchiveWriter writer;
    sif::Picture picture;
    picture.width = 3;
    picture.height = 2;
    for (int i = 0; i < 6; ++i)
        picture.rgba.insert(picture.rgba.end(), {uint8_t(40 * i), 200, 30, uint8_t(i ? 255 : 0)});
    writer.AddImage("Tile", picture);
    writer.AddAutoTrimmedImage("Trimmed", picture);
    writer.AddPalette("Colours", {{{1, 2, 3, 255}, {9, 8, 7, 128}}, {{0, 0, 0, 0}, {255, 255, 255, 255}}});
    Put("archive", "uncompressed", std::string(1, '\0') + Str(writer.BuildLayout(false)));
    Put("archive", "layout", std::string(1, '\1') + Str(writer.BuildLayout(true)));
    Put("archive", "compressed", std::string(1, '\2') + Str(writer.Build(true)));
}

void Levels() {
    plf::LevelWriter level(1, 1);
    Put("level", "file", std::string(1, '\0') + Str(level.BuildFile()));
    // The working file's header and the start of one chunk record; the rest
    // of the record comes from the padding count (112 x 4 KiB).
    std::string head(10, 'L');
    Le32(head, Chunk::kRecordBytes);
    Le32(head, 1);
    Le32(head, 1);
    for (int i = 0; i < 64; ++i) head += std::string("\xFF\x20\x80\x40", 4);
    std::string seed = std::string(1, '\1') + std::string("\x70\x00", 2) + head;
    Put("level", "inflated", seed);
}

void IsoMaps() {
    slf::IsoMapWriter writer(3, 2, 2);
    writer.AddTexture("Grass");
    writer.AddTexture("Stone");
    writer.SetFreeBytes("abcd", "free");
    for (uint32_t x = 0; x < 3; ++x)
        for (uint32_t y = 0; y < 2; ++y) writer.SetBlock(x, y, 0, 0, -1, 1);
    writer.SetBlock(1, 0, 1, 1, 0, 0);
    Put("isomap", "small", writer.Bytes());
    Put("isomap", "empty", slf::IsoMapWriter(0, 5, 1).Bytes());
}

net::BitStream Header(uint8_t id) {
    net::BitStream stream;
    stream.WriteU8(27);
    stream.WriteU64(123456);
    stream.WriteU8(id);
    return stream;
}

std::string Bytes(const net::BitStream& stream) {
    return std::string(1, '\0') + std::string(reinterpret_cast<const char*>(stream.GetData()), stream.GetLength());
}

void Packets() {
    net::BitStream text = Header(netmsg::kServerText);
    text.WriteText("Welcome");
    Put("packet", "text", Bytes(text));
    net::BitStream world = Header(netmsg::kPlayerState);
    world.WriteU32(3);
    for (const char* name : {"Ann", "Kim"}) {
        world.WriteText(name);
        for (double v : {10.5, 20.0, 0.0}) world.WriteDouble(v);
        for (int32_t v : {2, 7, 1}) world.WriteI32(v);
    }
    world.WriteText("Ann");
    for (int i = 0; i < 3; ++i) world.WriteDouble(netmsg::kRemovalCoordinate);
    Put("packet", "world", Bytes(world));
    Put("packet", "notice", std::string(1, '\5'));
}

std::string Raw(const net::BitStream& stream) {
    return std::string(reinterpret_cast<const char*>(stream.GetData()), stream.GetLength());
}

// Datagrams' commands as the network library lays them out, after the
// option byte (0: with the sent time, slot 0, session 0): a reliable message;
// a piece of a message within the limit and one over it; a reliable send that
// claims more than it brings; 500 messages in order, which move the window;
// the three datagrams whose commands the library reads each against the
// state the one before left (an unreliable message, then a piece it passes;
// reliable message 4096, then pieces at 4095 and at 28672); a ping and a
// piece without the sent time; a compressed datagram; a disconnect.
void Datagrams() {
    auto command = [](net::BitStream& out, uint8_t number, uint8_t channel, uint16_t sequence) {
        out.WriteU8(number);
        out.WriteU8(channel);
        out.WriteU16(sequence);
    };
    auto reliable = [&](net::BitStream& out, uint16_t sequence, const std::string& text) {
        command(out, ENET_PROTOCOL_COMMAND_SEND_RELIABLE | uint8_t{ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE}, 1,
                sequence);
        out.WriteU16(static_cast<uint16_t>(text.size()));
        out.WriteBytes(text.data(), text.size());
    };
    auto piece = [&](net::BitStream& out, uint8_t number, uint16_t sequence, uint16_t start, uint32_t total) {
        command(out, number, 1, sequence);
        out.WriteU16(start);
        out.WriteU16(4);  // bytes in this piece
        out.WriteU32(10);
        out.WriteU32(0);
        out.WriteU32(total);
        out.WriteU32(0);
        out.WriteBytes("abcd", 4);
    };
    auto options = [](uint8_t value) {
        net::BitStream out;
        out.WriteU8(value);
        return out;
    };
    constexpr uint8_t kFragment = ENET_PROTOCOL_COMMAND_SEND_FRAGMENT | uint8_t{ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE};
    net::BitStream one = options(0);
    reliable(one, 1, "hello");
    Put("datagram", "reliable", Raw(one));
    for (uint32_t total : {uint32_t{40}, uint32_t{0x7FFFFFFF}}) {
        net::BitStream fragment = options(0);
        piece(fragment, kFragment, 2, 2, total);
        Put("datagram", total > 40 ? "oversized" : "fragment", Raw(fragment));
    }
    net::BitStream claim = options(0);
    command(claim, ENET_PROTOCOL_COMMAND_SEND_RELIABLE | uint8_t{ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE}, 1, 1);
    claim.WriteU16(65000);
    Put("datagram", "claim", Raw(claim));
    net::BitStream many = options(0);
    for (uint16_t sequence = 1; sequence <= 500; ++sequence) reliable(many, sequence, "m");
    Put("datagram", "many", Raw(many));
    net::BitStream passed = options(0);
    command(passed, ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE, 1, 0);
    passed.WriteU16(1);  // unreliable sequence number
    passed.WriteU16(1);
    passed.WriteBytes("x", 1);
    piece(passed, ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE_FRAGMENT, 0, 1, 0x7FFFFFFF);
    Put("datagram", "unreliable-passed", Raw(passed));
    for (uint16_t start : {uint16_t{4095}, uint16_t{28672}}) {
        net::BitStream moved = options(0);
        reliable(moved, 4096, "x");
        piece(moved, kFragment, start, start, 0x7FFFFFFF);
        Put("datagram", "window-moved-" + std::to_string(start), Raw(moved));
    }
    net::BitStream untimed = options(1);
    command(untimed, ENET_PROTOCOL_COMMAND_PING | uint8_t{ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE}, 0, 1);
    piece(untimed, kFragment, 2, 2, 0x7FFFFFFF);
    Put("datagram", "untimed", Raw(untimed));
    Put("datagram", "compressed", std::string("\x04\x01\x02\x03", 4));
    net::BitStream disconnect = options(0);
    command(disconnect, ENET_PROTOCOL_COMMAND_DISCONNECT | uint8_t{ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE}, 0xFF, 2);
    disconnect.WriteU32(0);
    Put("datagram", "disconnect", Raw(disconnect));
}

uint32_t OggCrc(const std::string& page) {
    uint32_t crc = 0;
    for (unsigned char byte : page) {
        crc ^= uint32_t(byte) << 24;
        for (int k = 0; k < 8; ++k) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

std::string OggPage(uint8_t type, uint64_t granule, const std::string& body) {
    std::string page = "OggS";
    page += '\0';
    page += static_cast<char>(type);
    for (int i = 0; i < 8; ++i) page += static_cast<char>((granule >> (8 * i)) & 0xFF);
    Le32(page, 77);  // serial
    Le32(page, 0);   // sequence
    Le32(page, 0);   // checksum, filled below
    page += '\1';
    page += static_cast<char>(body.size());
    page += body;
    uint32_t crc = OggCrc(page);
    for (int i = 0; i < 4; ++i) page[22 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    return page;
}

void Sounds() {
    std::string wav = "RIFF";
    Le32(wav, 36 + 16);
    wav += "WAVEfmt ";
    Le32(wav, 16);
    wav += std::string("\x01\x00\x02\x00", 4);
    Le32(wav, 22050);
    Le32(wav, 22050 * 4);
    wav += std::string("\x04\x00\x10\x00", 4);
    wav += "data";
    Le32(wav, 16);
    wav += std::string(16, '\x10');
    Put("audio", "wav", std::string(1, '\0') + wav);

    std::string flac = "fLaC";
    flac += std::string("\x80\x00\x00\x22", 4);
    std::string info(34, '\0');
    // 44100 Hz, 2 channels, 16 bits, 1000 frames.
    const uint64_t bits = (uint64_t(44100) << 44) | (uint64_t(1) << 41) | (uint64_t(15) << 36) | 1000;
    for (int i = 0; i < 8; ++i) info[10 + i] = static_cast<char>((bits >> (56 - 8 * i)) & 0xFF);
    flac += info;
    flac += std::string("\xFF\xF8\x69\x08", 4);
    Put("audio", "flac", std::string(1, '\2') + flac);

    std::string id = "\x01vorbis";
    Le32(id, 0);
    id += '\2';
    Le32(id, 44100);
    Le32(id, 0);
    Le32(id, 128000);
    Le32(id, 0);
    id += '\xB8';
    id += '\1';
    std::string ogg = OggPage(2, 0, id) + OggPage(4, 4410, std::string(8, 'v'));
    Put("audio", "ogg", std::string(1, '\1') + ogg);

    // Three silent MPEG-1 layer III frames, 128 kbit/s, 44100 Hz.
    std::string mp3;
    for (int i = 0; i < 3; ++i) mp3 += std::string("\xFF\xFB\x90\x00", 4) + std::string(413, '\0');
    Put("audio", "mp3", std::string(1, '\3') + mp3);
}

void ByteReaders() {
    std::string ops;
    ops += '\x06';
    for (int kind : {0, 1, 3, 4, 5, 6}) ops += std::string{char(kind), '\x03', '\x00'};
    Put("bytes", "mixed", ops + std::string("\x00\x00\x01\x02text\0more\0", 14) + std::string(12, 'z'));
}

std::string WholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Saves of the small game: as it starts, with one member of another class,
// and with nothing at all.
void SaveFiles() {
    fuzzsupport::SaveGame& game = fuzzsupport::SaveGame::Get();
    game.Reset();
    game.Saves().IssueSave("seed.sav");
    Put("savefile", "party", WholeFile("seed.sav"));
    game.Party().ClearParty();
    game.Party().AddCharacter("Kell");
    game.Inventory().RemoveItemAt(0);
    game.Saves().IssueSave("seed.sav");
    Put("savefile", "kell", WholeFile("seed.sav"));
    game.Party().ClearParty();
    game.Inventory().Clear();
    game.Saves().IssueSave("seed.sav");
    Put("savefile", "empty", WholeFile("seed.sav"));
}

// Enemy archives: the frames of two enemies and the battle background; one
// as its inflated layout, one as the compressed file. The option bytes ask
// for "Slime" 0 to 3 and, by the table's sixth name (Bat1, its digits cut),
// "Bat" 0 to 1, for two enemies.
void CombatArchives() {
    auto solid = [](uint32_t width, uint32_t height, uint8_t shade) {
        sif::Picture picture;
        picture.width = width;
        picture.height = height;
        for (uint32_t i = 0; i < width * height; ++i)
            picture.rgba.insert(picture.rgba.end(), {shade, uint8_t(255 - shade), 40, uint8_t(i % 3 ? 255 : 0)});
        return picture;
    };
    sif::ArchiveWriter writer;
    for (int i = 0; i < 4; ++i) writer.AddImage("Slime" + std::to_string(i), solid(3, 2, uint8_t(50 * i)));
    for (int i = 0; i < 2; ++i) writer.AddAutoTrimmedImage("Bat" + std::to_string(i), solid(4, 4, uint8_t(90 + i)));
    writer.AddImage("Combat_ForestBackground", solid(5, 3, 200));
    const std::string options =
        std::string("\x00\x12", 2) + std::string("\x00\x04\x00", 3) + std::string("\x85\x02\x00", 3);
    Put("combat", "layout", options + Str(writer.BuildLayout(true)));
    std::string file = options;
    file[0] = '\1';
    Put("combat", "compressed", file + Str(writer.Build(true)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds <corpus folder>\n");
        return 2;
    }
    g_root = std::filesystem::absolute(argv[1]);
    Archives();
    Levels();
    IsoMaps();
    Packets();
    Datagrams();
    Sounds();
    ByteReaders();
    CombatArchives();
    // Last: the save game moves into a work folder of its own.
    SaveFiles();
    return 0;
}
