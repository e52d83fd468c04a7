#pragma once
// The program's own result codes (facility 0x040). System codes are in platform/com/combase.h.
#include "platform/com/combase.h"

constexpr HRESULT SV_E_STORAGE_NOT_FOUND = MakeHResult(0x80400001u);        // storage or folder not found
constexpr HRESULT SV_E_FILE_IN_THE_WAY = MakeHResult(0x80400002u);          // a file where a folder should be
constexpr HRESULT SV_E_NO_PC_PATH = MakeHResult(0x80400003u);               // no local path
constexpr HRESULT SV_E_FILE_MISSING = MakeHResult(0x80400004u);             // local (song) file missing
constexpr HRESULT SV_E_NO_DEVICE_FILE_NAME = MakeHResult(0x80400005u);      // no device file name
constexpr HRESULT SV_E_DEVICE_FILE_MISSING = MakeHResult(0x80400006u);      // device file missing
constexpr HRESULT SV_E_FOLDER_IN_THE_WAY = MakeHResult(0x80400007u);        // a folder where a file should be
constexpr HRESULT SV_E_PLAYLIST_FILE_FAILED = MakeHResult(0x8040000Eu);     // playlist file could not be made
constexpr HRESULT SV_E_NO_DEVICE = MakeHResult(0x8040000Fu);                // no device
constexpr HRESULT SV_E_DEVICE_CHANGED = MakeHResult(0x80400010u);           // device lost or changed meanwhile
constexpr HRESULT SV_E_CANCELLED = MakeHResult(0x80400011u);                // cancelled
constexpr HRESULT SV_E_NO_STORAGE = MakeHResult(0x80400015u);               // device has no storage
constexpr HRESULT SV_E_NOT_ENOUGH_SPACE = MakeHResult(0x80400018u);         // not enough free space
constexpr HRESULT SV_E_PLAYER_NOT_RUNNING = MakeHResult(0x8040001Au);       // player not running
constexpr HRESULT SV_E_PLAYER_BUSY = MakeHResult(0x8040001Bu);              // player busy
constexpr HRESULT SV_E_SHUT_DOWN = MakeHResult(0x8040001Cu);                // player or object shut down
constexpr HRESULT SV_E_NO_PLAYER_OBJECT = MakeHResult(0x8040001Du);         // no player object
constexpr HRESULT SV_E_EMPTY_PLAYLIST = MakeHResult(0x8040001Eu);           // empty playlist
constexpr HRESULT SV_E_PLAYLIST_CHANGED = MakeHResult(0x8040001Fu);         // playlist changed while counted
constexpr HRESULT SV_E_OBJECT_SHUT_DOWN = MakeHResult(0x80400020u);         // player object shut down
constexpr HRESULT SV_E_NO_ACTIVE_PLAYER = MakeHResult(0x80400022u);         // no active player
constexpr HRESULT SV_E_BLIP_NEVER_SIGNED_IN = MakeHResult(0x80400024u);     // blip network never signed in
constexpr HRESULT SV_E_BLIP_SIGNED_OUT = MakeHResult(0x80400025u);          // blip network signed out
constexpr HRESULT SV_E_SERVICE_REFUSED = MakeHResult(0x80400026u);          // service refused credentials or data
constexpr HRESULT SV_E_NETWORK_FAILURE = MakeHResult(0x80400027u);          // network failure
constexpr HRESULT SV_E_HTTP_STATUS = MakeHResult(0x80400028u);              // HTTP error status
constexpr HRESULT SV_E_BAD_ANSWER = MakeHResult(0x80400029u);               // unreadable answer
constexpr HRESULT SV_E_TIMED_OUT = MakeHResult(0x8040002Au);                // timed out
constexpr HRESULT SV_E_SERVICE_ERROR = MakeHResult(0x8040002Bu);            // other error answer of the service
constexpr HRESULT SV_E_NO_INTERNET = MakeHResult(0x8040002Cu);              // no internet connection
constexpr HRESULT SV_E_EMPTY_SONG = MakeHResult(0x8040002Du);               // empty song
constexpr HRESULT SV_E_TITLE_OR_ARTIST_MISSING = MakeHResult(0x8040002Eu);  // title or artist missing
constexpr HRESULT SV_E_NO_CONTENT = MakeHResult(0x80400030u);               // no such content / metadata differs

// Every own code, in numeric order (the error-text table and its tests walk it).
constexpr HRESULT SV_OWN_CODES[] = {
    SV_E_STORAGE_NOT_FOUND, SV_E_FILE_IN_THE_WAY, SV_E_NO_PC_PATH, SV_E_FILE_MISSING,
    SV_E_NO_DEVICE_FILE_NAME, SV_E_DEVICE_FILE_MISSING, SV_E_FOLDER_IN_THE_WAY, SV_E_PLAYLIST_FILE_FAILED,
    SV_E_NO_DEVICE, SV_E_DEVICE_CHANGED, SV_E_CANCELLED, SV_E_NO_STORAGE,
    SV_E_NOT_ENOUGH_SPACE, SV_E_PLAYER_NOT_RUNNING, SV_E_PLAYER_BUSY, SV_E_SHUT_DOWN,
    SV_E_NO_PLAYER_OBJECT, SV_E_EMPTY_PLAYLIST, SV_E_PLAYLIST_CHANGED, SV_E_OBJECT_SHUT_DOWN,
    SV_E_NO_ACTIVE_PLAYER, SV_E_BLIP_NEVER_SIGNED_IN, SV_E_BLIP_SIGNED_OUT, SV_E_SERVICE_REFUSED,
    SV_E_NETWORK_FAILURE, SV_E_HTTP_STATUS, SV_E_BAD_ANSWER, SV_E_TIMED_OUT,
    SV_E_SERVICE_ERROR, SV_E_NO_INTERNET, SV_E_EMPTY_SONG, SV_E_TITLE_OR_ARTIST_MISSING,
    SV_E_NO_CONTENT,
};
