// Library load and unload hooks of corekit.
