#pragma once
// A folder tree in memory for the user-folder code: folders by their path
// (with a closing backslash), files as names in them, junctions as folders
// that are another folder under a second path.

#include "player/engine/UserFolders.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class FakeUserFiles : public TUserFileSystem {
public:
    void AddFolder(const std::string& folder) { folders_[folder]; }
    void AddFile(const std::string& folder, const std::string& name, std::string text = {})
    {
        folders_[folder].push_back({name, false});
        texts_[folder + name] = std::move(text);
    }
    void AddSubfolder(const std::string& folder, const std::string& name)
    {
        folders_[folder].push_back({name, true});
        folders_[folder + name + "\\"];
    }
    // name inside folder leads to target.
    void AddJunction(const std::string& folder, const std::string& name, const std::string& target)
    {
        folders_[folder].push_back({name, true});
        junctions_[folder + name + "\\"] = target;
    }
    void RemoveFile(const std::string& path) { texts_.erase(path); }
    const std::vector<std::string>& Listed() const { return listed_; }

    bool FolderExists(const std::string& path) override { return folders_.count(Resolved(path)) != 0; }
    bool FileExists(const std::string& path) override { return texts_.count(path) != 0; }
    std::vector<TFolderEntry> List(const std::string& folder) override
    {
        listed_.push_back(folder);
        const auto found = folders_.find(Resolved(folder));
        if (found == folders_.end())
            return {};
        std::vector<TFolderEntry> entries;
        for (const TFolderEntry& entry : found->second)
            if (entry.Folder || texts_.count(folder + entry.Name) != 0 || texts_.count(found->first + entry.Name) != 0)
                entries.push_back(entry);
        return entries;
    }
    std::string FolderIdentity(const std::string& folder) override { return Resolved(folder); }
    std::optional<std::string> ReadText(const std::string& path) override
    {
        const auto found = texts_.find(path);
        if (found == texts_.end())
            return std::nullopt;
        return found->second;
    }
    std::string FromUtf8(const std::string& text) override { return "ansi:" + text; }

private:
    std::string Resolved(std::string folder) const
    {
        if (folder.empty() || folder.back() != '\\')
            folder += '\\';
        // A path through a junction is the target's path from there on.
        for (const auto& [junction, target] : junctions_)
            if (folder.rfind(junction, 0) == 0)
                return Resolved(target + folder.substr(junction.size()));
        return folder;
    }

    std::map<std::string, std::vector<TFolderEntry>> folders_;
    std::map<std::string, std::string> texts_;
    std::map<std::string, std::string> junctions_;
    std::vector<std::string> listed_;
};
