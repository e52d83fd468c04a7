#pragma once
// The players of the running program: the media player application stand-in with the user's music,
// and the front opened on the Windows Media Player client.
class Player;

// Imports the music folder into the player's library (once), makes the process-wide front and opens the
// Windows Media Player client on it (starting the player application when it is not up). Returns the front.
Player* SetUpProgramPlayers();
