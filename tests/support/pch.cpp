// Holds the tests' precompiled headers.
