// The owner of the precompiled test headers that every test program reuses; it needs one
// source to exist as a target and compiles nothing of its own.
