#include "cfileread.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace VSTGUI {

// O_NONBLOCK keeps the open of a FIFO from waiting for a writer.
bool readRegularFile (const char* path, size_t cap, std::string& text) noexcept
{
	text.clear ();
	if (!path || !*path)
		return false;
	struct Descriptor
	{
		const int fd;
		~Descriptor () noexcept
		{
			if (fd >= 0)
				::close (fd);
		}
	} file {::open (path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
	struct stat status
	{
	};
	if (file.fd < 0 || ::fstat (file.fd, &status) != 0 || !S_ISREG (status.st_mode) ||
	    static_cast<uintmax_t> (status.st_size) > cap)
		return false;
	try
	{
		text.reserve (static_cast<size_t> (status.st_size) + 1);
		char chunk[16384];
		while (text.size () <= cap)
		{
			const ssize_t n = ::read (file.fd, chunk, std::min (sizeof (chunk), cap + 1 - text.size ()));
			if (n < 0 && errno == EINTR)
				continue;
			if (n < 0)
				return false;
			if (n == 0)
				break;
			text.append (chunk, static_cast<size_t> (n));
		}
	}
	catch (const std::bad_alloc&)
	{
		text.clear ();
		return false;
	}
	return !text.empty () && text.size () <= cap;
}

} // namespace VSTGUI
