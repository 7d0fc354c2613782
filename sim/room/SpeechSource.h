#pragma once
// Dry speech for the virtual array and the benchmark: real synthesized speech from
// espeak-ng when it is installed, else a speech-like signal (voiced syllables with formants,
// pauses between words). Mono, full scale about +-0.5, at the rate asked for.
#include <string>
#include <vector>

// Utterance number variant (different words and voices), synthesized into cacheDir (made
// when missing) on the first call; later calls read the cached file.
std::vector<float> SpeechUtterance(int variant, unsigned rate, const std::string& cacheDir);

// The stand-in when espeak-ng cannot be run: seconds long, reproducible per seed.
std::vector<float> SyntheticSpeech(double seconds, unsigned rate, unsigned seed);
