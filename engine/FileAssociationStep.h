// Points a file extension at a ProgID and writes the ProgID's description,
// icon and shell verbs under HKEY_LOCAL_MACHINE\SOFTWARE\Classes, recording
// DelRegKey for every key it writes. The undo gives the extension back
// its previous ProgID, or removes what this step added to the extension key,
// and removes the ProgID's keys when this step made them. A failed write is
// a recoverable failure.
#pragma once

#include "engine/InstallStep.h"

#include <string>
#include <vector>

struct ShellVerb {
    std::string name;  // also its display text
    std::string commandLine;
};

class FileAssociationStep final : public InstallStep {
public:
    // extension includes its leading '.'; the first verb is the default
    // one. Throws SilentExit 112 when a failure is not to be tolerated.
    FileAssociationStep(const std::string& progId, const std::string& extension, const std::string& description,
                        const std::string& iconLocation, const std::vector<ShellVerb>& verbs);
    ~FileAssociationStep();

private:
    void Register(const std::string& progId, const std::string& description, const std::string& iconLocation,
                  const std::vector<ShellVerb>& verbs);
    void Undo();
    void RemoveExtensionMapping();
    void ReportUndoFailure(bool restoring, const std::string& reason) const;

    std::string m_progIdKey;
    std::string m_extensionKey;
    std::string m_extension;
    std::string m_previousProgId;
    bool m_extensionKeyExisted = false;
    bool m_progIdKeyExisted = false;
};

// The ProgID as the replacement warning shows it: with at least three dots,
// the first, the second and the last become blanks
// (Vantrel.Quillmore.4.33.Profile -> "Vantrel Quillmore 4.33 Profile").
std::string ProgIdDisplayName(const std::string& progId);
