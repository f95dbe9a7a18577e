#pragma once
// The game's global script functions outside the node classes: the desktop, joystick and ambient
// services, text conversions, virtual disks, the profile text transform and the profile items.

// "int bstrToInt( bstr )" and "int strToInt( string )": the leading decimal number of the text
// as `atol` reads it (0 when there is none), held to the range of an int.
int TextToInt(const char* szText);
// "float bstrToFloat( bstr )" and "float strToFloat( string )": `atof` of the text.
float TextToFloat(const char* szText);

// Wallpaper, joystick buttons, ambient colour, then the camera map's switch.
void RegisterGameFirstGlobals();
// Virtual disks, the text conversions, the entity's and the movable object's casts and the
// movable object's position, then the profile text transform.
void RegisterGameUtilityFunctions();
void RegisterProfileItemFunctions();
