// Placeholder: the tool's argument parsing.
