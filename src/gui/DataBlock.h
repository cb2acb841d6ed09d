#pragma once
// One queued action with its packed argument. The dialogue box, the combat
// message window and the field sprites keep their actions in a GenericQueue
// as data blocks: each owner handles its own codes of 100 and up and hands
// every block below 100 to DataBlock::Perform, so those form one shared
// vocabulary:
//
//   0   stop processing for this tick              (no argument)
//   1   set the stop flag and stop for this tick   (no argument)
//   10  set the delay counter                      (int32, big-endian)
//   21  play a sound      22 stop a sound          (name, NUL-terminated)
//   23  play music        24 stop music            (name, NUL-terminated)
#include <cstdint>
#include <vector>

class GenericQueue;

struct DataBlock {
    enum Type : int32_t {
        kPause = 0,
        kStop = 1,
        kDelay = 10,
        kPlaySound = 21,
        kStopSound = 22,
        kPlayMusic = 23,
        kStopMusic = 24,
        kFirstOwnerType = 100,
    };

    int32_t type = 0;
    // Perform keeps processing only while this is false; Enqueue leaves it
    // false.
    bool hold = false;
    // The packed argument; empty stands for "no argument".
    std::vector<uint8_t> value;

    // Makes a block of the type and pushes it on the queue under "X";
    // nothing (null) when the queue is null. For type 10 the argument points
    // to an int32_t, for types 21 to 24 it is the name (a NUL-terminated
    // string); other types take no argument. A missing argument leaves the
    // block without one. Returns the queued block, which the queue's owner
    // frees (see Delete).
    static DataBlock* Enqueue(int32_t type, GenericQueue* queue, const void* argument);

    // Performs a shared action. keepGoing becomes !hold, then: 0 clears it;
    // 1 sets *stopFlag and clears it; 10 sets *delay; 21 to 24 go to the
    // sound manager by name. A block of type 2 and up whose argument is
    // missing or cut short prints "Failed due to invalid datablock\n" and
    // does nothing more. Nothing happens for a null block, keepGoing or
    // stopFlag; a null delay is left out.
    static void Perform(const DataBlock* block, bool* keepGoing, bool* stopFlag, int32_t* delay);

    // Deleter for queues and lists that own their blocks.
    static void Delete(void* block);
};
