#pragma once
// Internal to the text engine and font handles.

// Makes fontconfig synthesise bold and oblique faces for fonts that have none, unless its
// configuration does so already. Runs once per process; call before loading any font.
void EnsureSyntheticFontStyles();
