// The connection object arrives here.
