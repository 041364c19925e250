// Process tests follow.
