#pragma once
// The engine's one source of random numbers. By default it is std::rand
// (seeded by start-up); tests install a scripted sequence.
#include <functional>

// Next number from the current source, in [0, RAND_MAX] for the default.
int RandomNext();

// Replaces the source; an empty function restores std::rand.
void SetRandomSource(std::function<int()> source);
