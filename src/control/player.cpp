// Every message to the player goes through Send: one timeout, and silence once it went unanswered.
#include "control/player.h"

using namespace desktop;

namespace {

constexpr std::uintptr_t NoWindow = 0x10000;  // below: none, or 1 for "not supported"

}  // namespace

std::uintptr_t Send(Player& player, HWND window, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) {
    std::uintptr_t answer = 0;
    if (player.unanswered) return answer;
    // Waiting patiently, an ordinary run waits for a hung player too, as it always has.
    const unsigned flags = player.timeout == Patiently ? SMTO_NORMAL : SMTO_ABORTIFHUNG;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, flags, player.timeout, &answer) &&
        window != nullptr)
        player.unanswered = true;
    return answer;
}

std::uintptr_t Send(Player& player, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return Send(player, player.window, message, wParam, lParam);
}

HWND FindPlaylist(Player& player) {
    const std::uintptr_t answer = AskAddress(player, PlaylistWindow, GetWindowHandle);
    return answer < NoWindow ? nullptr : reinterpret_cast<HWND>(answer);
}

std::int32_t Ask(Player& player, std::int64_t data, PlayerMessage id) {
    return static_cast<std::int32_t>(AskAddress(player, data, id));
}

std::uintptr_t AskAddress(Player& player, std::int64_t data, PlayerMessage id) {
    return Send(player, WM_USER, static_cast<std::uintptr_t>(data), id);
}

void SendData(Player& player, HWND window, const COPYDATASTRUCT& data) {
    Send(player, window, WM_COPYDATA, 0, reinterpret_cast<std::intptr_t>(&data));
    Sleep(0);
}

bool OpenPlayer(Player& player) {
    if (!player.opened) {
        player.opened = true;
        unsigned processId = 0;
        GetWindowThreadProcessId(player.window, &processId);
        // Reading its memory, writing a question's structure there, and waiting for its end.
        player.process = OpenProcess(SYNCHRONIZE | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                         PROCESS_VM_OPERATION | PROCESS_QUERY_INFORMATION,
                                     false, processId);
    }
    return player.process != nullptr;
}

void ForgetPlayer(Player& player) {
    if (player.process != nullptr) CloseHandle(player.process);
    player.process = nullptr;
    player.opened = false;
    player.readableFrom = player.readableTo = 0;
}

void Tell(Player& player, std::int64_t data, PlayerMessage id) {
    Send(player, WM_USER, static_cast<std::uintptr_t>(data), id);
    Sleep(0);
}

void SendCommand(Player& player, CommandId command) {
    if (command == NoCommand) return;
    Send(player, WM_COMMAND, command, 0);
    Sleep(0);  // give up the time slice before the next argument
}

void PlayEntry(Player& player, std::int32_t index) {
    Tell(player, index, SetListPosition);
    SendCommand(player, PlayCommand);
}

bool Answers(Player& player) {
    if (player.timeout != Patiently) Send(player, WM_NULL, 0, 0);
    return !player.unanswered;
}

void HideWindow(HWND window) {
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_HIDE);
}

int PercentFromVolume(int volume) {
    const int clamped = volume < 0 ? 0 : volume > MaxVolume ? MaxVolume : volume;
    return (2 * MaxPercent * clamped + MaxVolume) / (2 * MaxVolume);
}

int VolumeFromPercent(int percent) {
    return (2 * MaxVolume * percent + MaxPercent) / (2 * MaxPercent);
}
