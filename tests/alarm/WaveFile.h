// A small PCM sound file for the playback tests: 8 kHz, 8 bits, mono, a
// quiet tone of the given length.
#pragma once

#include <windows.h>

#include <cmath>
#include <string>

inline bool WriteWaveFile(const std::wstring& path, double seconds) {
    const DWORD rate = 8000;
    const DWORD samples = static_cast<DWORD>(seconds * rate);
    std::string data(samples, '\x80');
    for (DWORD i = 0; i < samples; ++i) {
        data[i] = static_cast<char>(128 + static_cast<int>(20 * std::sin(i * 2 * 3.14159265 * 440 / rate)));
    }
    auto put32 = [](std::string& out, DWORD v) { out.append(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [](std::string& out, WORD v) { out.append(reinterpret_cast<const char*>(&v), 2); };
    std::string file = "RIFF";
    put32(file, 36 + samples);
    file += "WAVEfmt ";
    put32(file, 16);
    put16(file, 1);      // PCM
    put16(file, 1);      // mono
    put32(file, rate);
    put32(file, rate);   // bytes a second
    put16(file, 1);      // block
    put16(file, 8);      // bits
    file += "data";
    put32(file, samples);
    file += data;
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(handle, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    CloseHandle(handle);
    return ok && written == file.size();
}
