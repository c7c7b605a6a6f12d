#pragma once

namespace QuxCtl {

// What a script can branch on. With several ports the first port that failed decides.
enum ExitStatus {
    Success = 0,
    Differs = 1, // diff: the sensor holds other values than the file
    BadArguments = 2, // the command line is wrong (unknown id, value out of reach, ...)
    NoAnswer = 3, // the port could not be opened, or no sensor answered on it
    WrongSensor = 4, // the sensor is not of the family, or not the file's sensor type
    FileRefused = 5, // the settings file cannot be read or written
    WriteFailed = 6, // the sensor did not take a value (or did not give it back)
    BrokerUnreachable = 7, // stream --mqtt: no broker connection at the start
};

} // namespace QuxCtl
