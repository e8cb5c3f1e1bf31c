#pragma once
// WinINet's view of the Internet connection, kept apart from the WinHTTP code: the two headers
// cannot be included together.

// True when the system reports its Internet connection as going through a proxy; false (and a log
// line) when it cannot tell.
bool ConnectionUsesProxy();
