// What a movie window asks of the movie it plays: load it, place it, go to a frame, and write
// and read its variables. CShockwaveFlash is the real host; tests put a recording host in its
// place to see exactly what a window tells its movie.
#pragma once

#include <string>

class MovieHost {
public:
    virtual ~MovieHost() = default;
    virtual void SetMovie(const std::string& path) = 0;
    virtual void SetScale(const std::string& mode) = 0;
    virtual void SetAlignMode(long mode) = 0;
    virtual void SetBackgroundColor(long colour) = 0;  // 0xRRGGBB
    virtual void GotoFrame(long frame) = 0;
    virtual void SetVariable(const std::string& name, const std::string& value) = 0;
    virtual std::string GetVariable(const std::string& name) const = 0;
    // 4 once the movie has loaded completely; anything else means no movie plays.
    virtual long GetReadyState() const = 0;
};
